#include "ui/folder_choice.h"

#include <shobjidl.h>

#include "base/messages_labels.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// Releases a COM object when the dialog is done with it, whichever way it ends.
template <typename T>
struct Released {
  T* object = nullptr;
  ~Released() {
    if (object) object->Release();
  }
};

// Opens the dialog in `folder`; one it cannot reach leaves the dialog where it would open.
void startIn(IFileOpenDialog& dialog, const std::wstring& folder) {
  if (folder.empty()) return;
  Released<IShellItem> start;
  if (FAILED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&start.object)))) return;
  dialog.SetFolder(start.object);
}

std::optional<std::wstring> showFolderDialog(HWND owner, const std::wstring& startFolder) {
  Released<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog.object))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.object->GetOptions(&options);
  // Only folders the engine can open by a path; a library or a phone's storage has none.
  dialog.object->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog.object->SetTitle(toWindowText(stemsFolderDialogTitle().in(Audience::Window)).c_str());
  startIn(*dialog.object, startFolder);
  if (FAILED(dialog.object->Show(owner))) return std::nullopt;
  Released<IShellItem> chosen;
  if (FAILED(dialog.object->GetResult(&chosen.object))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(chosen.object->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
  std::wstring folder(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::optional<std::wstring> askForStemsFolder(HWND owner, const std::wstring& startFolder) {
  // The folder dialog is a COM object; the program needs COM for nothing else, so it lives as
  // long as the dialog.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::optional<std::wstring> folder = showFolderDialog(owner, startFolder);
  if (SUCCEEDED(com)) CoUninitialize();
  return folder;
}

}  // namespace rendlow::ui
