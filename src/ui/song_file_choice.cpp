#include "ui/song_file_choice.h"

#include <array>
#include <vector>

#include "base/text.h"
#include "ui/dropped_files.h"
#include "ui/win32.h"

namespace rendlow::ui {

namespace {

// One filter entry: description, pattern, and the empty entry that ends the list.
constexpr char kFilter[] = "Midi file {*.mid;*.txt}\0*.mid;*.txt\0";
constexpr char kDialogTitle[] = "音声ファイルの選択";
constexpr DWORD kCustomFilterAnnounced = 256;
constexpr std::size_t kFileNameBytes = 32768;

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
  if (text.size() != lowerCase.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerCase[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> askForSongFile(HWND owner) {
  std::array<char, 512> customFilter{};
  std::vector<char> fileName(kFileNameBytes, '\0');
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrCustomFilter = customFilter.data();
  dialog.nMaxCustFilter = kCustomFilterAnnounced;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrTitle = kDialogTitle;
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&dialog) || fileName[0] == '\0') return std::nullopt;
  return boundedText(fileName.data());
}

bool hasSongFileExtension(std::string_view name) {
  const std::size_t dot = findLastChar(name, '.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot, 4);
  return equalsIgnoringCase(extension, ".mid") || equalsIgnoringCase(extension, ".txt");
}

std::optional<std::string> takeDroppedSongFile(HDROP drop) {
  std::optional<std::string> name = takeFirstDroppedFile(drop);
  if (!name || !hasSongFileExtension(*name)) return std::nullopt;
  return name;
}

}  // namespace rendlow::ui
