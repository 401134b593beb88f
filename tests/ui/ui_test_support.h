#pragma once

// The desktop program's tests make the real main form in a hidden window (a shown one makes Wine
// wait for a window manager that Xvfb lacks) and speak to it as the platform and the user would:
// through the controls' ids, their texts read back in UTF-16, and the messages they are sent.

#include <gtest/gtest.h>
#include <shlobj.h>  // DROPFILES

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "ui/form_ids.h"
#include "ui/main_form.h"

// The platform's structures are filled by naming the members a call reads; the rest are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace rendlow::ui::test {

// The id of the control that shows the field --set knows by `name`.
inline int field(std::string_view name) { return ids::fieldControlId(*findTrackField(name)); }

inline std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The rows of a table of cases kept in tests/ui/data/`name`: UTF-8 lines of cells split by tabs,
// without the blank lines and the comments ("#" first). In a cell "↵" is a line break (a
// backslash is a path's) and "-" alone an empty cell, so that a person can read and extend it.
inline std::vector<std::vector<std::wstring>> dataTable(const std::string& name) {
  const std::string text = rendlow::test::readText(RENDLOW_TEST_DATA_DIR "/ui/data/" + name);
  EXPECT_FALSE(text.empty()) << name;
  std::vector<std::vector<std::wstring>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::wstring>& row = rows.emplace_back();
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) {
      for (std::size_t at; (at = cell.find("↵")) != std::string::npos;) cell.replace(at, 3, "\n");
      std::wstring wide(cell.size(), L'\0');
      wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, cell.data(), static_cast<int>(cell.size()),
                                                               wide.data(), static_cast<int>(wide.size()))));
      row.push_back(wide == L"-" ? L"" : wide);
    }
  }
  return rows;
}

// A window's text as a golden file keeps it: UTF-8.
inline std::string utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

// The parts of a table's cell, split at `separator`.
inline std::vector<std::wstring> split(const std::wstring& cell, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::wistringstream in(cell);
  for (std::wstring part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// A button of a message box, as the box made it.
struct SeenButton {
  int id = 0;
  std::wstring caption;
  HFONT font = nullptr;
  bool operator==(const SeenButton&) const = default;
};
inline void PrintTo(const SeenButton& button, std::ostream* out) {
  *out << button.id << " " << ::testing::PrintToString(button.caption) << " font " << button.font;
}

// What the user saw of a message box.
struct SeenMessage {
  std::wstring caption;
  std::wstring text;
  HWND owner = nullptr;
  HICON icon = nullptr;  // the system icon the box shows (IDI_ERROR, ...), none without one
  int width = 0;         // of the whole box, in pixels
  HFONT textFont = nullptr;
  int textWidth = 0;  // of the text's control, in pixels
  std::vector<SeenButton> buttons;
  int focused = 0;  // the id of the control with the keyboard focus
};

// A message's text as written, before the box wrapped its long lines: without line breaks.
inline std::wstring flat(std::wstring text) {
  std::erase(text, L'\n');
  return text;
}

// The system's shared icon `id` (IDI_ERROR, IDI_WARNING, IDI_INFORMATION), as a box shows it.
inline HICON systemIcon(LPCWSTR id) { return LoadIconW(nullptr, id); }

// Modal boxes run their own message loop while the code that opened them waits. A timer fires
// inside that loop, reads what is open and answers it as the user would: a file or folder dialog
// (known by its file name box) gets `chosenFile` or is cancelled, and is cancelled once it has been
// answered three times; every message box is read and closed with `answer`, or with the key `key`
// pressed on what has the focus. A box still open when the timer comes again did not take the
// answer: it is ended with 0, so that the test goes on to fail instead of waiting forever.
struct ModalWatch {
  std::wstring chosenFile;
  std::wstring filterShown;  // what the dialog's file type box showed
  int dialogsAnswered = 0;
  int answer = IDOK;
  WPARAM key = 0;  // VK_RETURN, VK_ESCAPE, … instead of `answer`
  std::vector<SeenMessage> seen;
};
inline ModalWatch* activeWatch = nullptr;

inline BOOL CALLBACK collectButton(HWND child, LPARAM buttons) {
  wchar_t childClass[16] = {};
  GetClassNameW(child, childClass, 16);
  if (std::wstring(childClass) == L"Button")
    reinterpret_cast<std::vector<SeenButton>*>(buttons)->push_back(
        {GetDlgCtrlID(child), textOf(child), reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))});
  return TRUE;
}

inline SeenMessage seenMessage(HWND window) {
  constexpr int kMessageText = 0xFFFF;
  const HWND text = GetDlgItem(window, kMessageText);
  // Windows numbers the box's icon 20, Wine 0x440.
  HICON icon = nullptr;
  for (const int kMessageIcon : {20, 0x440})
    if (!icon) icon = reinterpret_cast<HICON>(SendDlgItemMessageW(window, kMessageIcon, STM_GETICON, 0, 0));
  RECT box{};
  GetWindowRect(window, &box);
  RECT textArea{};
  GetClientRect(text, &textArea);
  SeenMessage seen{textOf(window), textOf(text), GetWindow(window, GW_OWNER), icon, static_cast<int>(box.right - box.left),
                   reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), static_cast<int>(textArea.right)};
  EnumChildWindows(window, collectButton, reinterpret_cast<LPARAM>(&seen.buttons));
  seen.focused = GetDlgCtrlID(GetFocus());
  return seen;
}

inline BOOL CALLBACK answerModal(HWND window, LPARAM) {
  wchar_t windowClass[16] = {};
  GetClassNameW(window, windowClass, 16);
  if (std::wstring(windowClass) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  // The file name box of the open dialog, and of the folder dialog, which is another kind.
  constexpr int kFileNameBox = 0x47C;
  constexpr int kFolderNameBox = 0x480;
  constexpr int kFileTypeBox = 0x470;
  constexpr int kMostAnswers = 3;
  HWND fileName = GetDlgItem(window, kFileNameBox);
  if (!fileName) fileName = GetDlgItem(window, kFolderNameBox);
  if (fileName) {
    activeWatch->filterShown = textOf(GetDlgItem(window, kFileTypeBox));
    SetWindowTextW(fileName, activeWatch->chosenFile.c_str());
    const bool choose = !activeWatch->chosenFile.empty() && ++activeWatch->dialogsAnswered <= kMostAnswers;
    PostMessageW(window, WM_COMMAND, choose ? IDOK : IDCANCEL, 0);
    return FALSE;
  }
  constexpr wchar_t kAnswered[] = L"RendlowTestAnswered";
  if (GetPropW(window, kAnswered)) {
    EndDialog(window, 0);
    return FALSE;
  }
  SetPropW(window, kAnswered, window);
  activeWatch->seen.push_back(seenMessage(window));
  if (activeWatch->key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, activeWatch->key, 0);
  } else {
    PostMessageW(window, WM_COMMAND, activeWatch->answer, 0);
  }
  return FALSE;
}

inline void CALLBACK lookForModal(HWND, UINT, UINT_PTR, DWORD) {
  if (activeWatch) EnumThreadWindows(GetCurrentThreadId(), answerModal, 0);
}

// A drop as Explorer hands it over: a DROPFILES header, then the UTF-16 names, each ending in
// NUL, and one more NUL. The receiver releases it.
inline HDROP makeDrop(const std::vector<std::wstring>& names) {
  std::size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
  for (const auto& name : names) size += (name.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* cursor = reinterpret_cast<wchar_t*>(header + 1);
  for (const auto& name : names) cursor = std::copy(name.begin(), name.end(), cursor) + 1;
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The main form built into a hidden main window, a private folder, and the modal watch.
class FormTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(shell.open(GetModuleHandleW(nullptr), SW_HIDE));
    form.build();
    activeWatch = &modal;
    timer = SetTimer(nullptr, 0, 50, lookForModal);
  }
  void TearDown() override {
    KillTimer(nullptr, timer);
    activeWatch = nullptr;
  }

  // A song whose first track holds the tempo, then one track per name (the engine's bytes) with
  // a note; the third carries a tempo change of its own. Written as `name` in `folder`.
  std::wstring writeSong(const std::vector<std::string>& names = {"Piano", "Bass", "Strings"},
                         const std::wstring& folder = L"", const std::wstring& name = L"song.mid") {
    rendlow::test::MidiBuilder song;
    song.track().name("Conductor").tempoBpm(0, 120.0).endOfTrack(1920);
    for (std::size_t i = 0; i < names.size(); ++i) {
      auto& track = song.track().name(names[i]).noteOn(0, 0, 60 + static_cast<int>(i), 100);
      track.noteOff(480, 0, 60 + static_cast<int>(i));
      if (i == 2) track.tempoBpm(960, 140.0);
      track.endOfTrack(1920);
    }
    const std::filesystem::path path = std::filesystem::path(dataDir.path()) / folder / name;
    std::filesystem::create_directories(path.parent_path());
    const rendlow::test::Bytes bytes = song.bytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    return path.wstring();
  }

  // The control with this id, on the window or in one of its groups.
  HWND item(int id) {
    const HWND main = shell.window();
    for (const HWND parent : {main, GetDlgItem(main, ids::kMidiGroup), GetDlgItem(main, ids::kSettingsGroup),
                              GetDlgItem(main, ids::kChartGroup)})
      if (const HWND found = GetDlgItem(parent, id)) return found;
    return nullptr;
  }
  std::wstring text(int id) { return textOf(item(id)); }
  int rows() { return static_cast<int>(SendMessageW(item(ids::kTrackTable), LVM_GETITEMCOUNT, 0, 0)); }
  void type(int id, const std::wstring& text) { SetWindowTextW(item(id), text.c_str()); }
  void press(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
  // A drop on the control `id`, or on the window itself for 0.
  void drop(int id, const std::wstring& path) {
    SendMessageW(id ? item(id) : shell.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({path})), 0);
  }

  HWND table() { return item(ids::kTrackTable); }
  std::wstring cell(int row, int column) {
    wchar_t text[600] = {};
    LVITEMW query{.iSubItem = column, .pszText = text, .cchTextMax = 600};
    SendMessageW(table(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&query));
    return text;
  }
  void setState(int row, UINT mask, UINT value) {
    LVITEMW state{.state = value, .stateMask = mask};
    SendMessageW(table(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  }
  // Selects exactly `selection`, then the click the list view reports (-1: below the rows).
  void select(const std::set<int>& selection, int clicked) {
    for (int row = 0; row < rows(); ++row)
      setState(row, LVIS_SELECTED, selection.count(row) ? LVIS_SELECTED : 0);
    NMITEMACTIVATE click{.hdr = {table(), ids::kTrackTable, static_cast<UINT>(NM_CLICK)}, .iItem = clicked};
    SendMessageW(GetParent(table()), WM_NOTIFY, ids::kTrackTable, reinterpret_cast<LPARAM>(&click));
  }
  void select(const std::set<int>& selection) { select(selection, *selection.rbegin()); }

  rendlow::test::TempDir dataDir;
  Shell shell;
  Application app;
  MainForm form{app, shell};
  ModalWatch modal;
  UINT_PTR timer = 0;
};

}  // namespace rendlow::ui::test
