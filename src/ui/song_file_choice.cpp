#include "ui/song_file_choice.h"

#include <vector>

#include "base/messages_labels.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

constexpr std::size_t kFileNameLength = 32768;

bool equalsIgnoringCase(std::wstring_view text, std::wstring_view lowerCase) {
  if (text.size() != lowerCase.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != lowerCase[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::wstring> askForSongFile(HWND owner) {
  // One filter entry, description then pattern, and the empty entry that ends the list: the
  // entries end in NUL bytes, which the wide string keeps.
  const std::wstring filter =
      toWindowText(songFileFilterName().in(Audience::Window)) + L'\0' + L"*.mid;*.txt" + L'\0' + L'\0';
  const std::wstring title = toWindowText(songFileDialogTitle().in(Audience::Window));
  std::vector<wchar_t> fileName(kFileNameLength, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  // The one filter is the one shown: with a custom filter of its own, the dialog would list every
  // file, programs among them.
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&dialog) || fileName[0] == L'\0') return std::nullopt;
  return std::wstring(fileName.data());
}

bool hasSongFileExtension(std::wstring_view name) {
  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos) return false;
  const std::wstring_view extension = name.substr(dot, 4);
  return equalsIgnoringCase(extension, L".mid") || equalsIgnoringCase(extension, L".txt");
}

}  // namespace rendlow::ui
