// The settings-file reader on arbitrary text: a settings file someone edited by hand must neither
// crash the program nor yield a text longer than the program stores, and is refused only for a
// line too long to read or a "tr" line that does not read whole or names no file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/settings_file.h"
#include "app/track_line.h"
#include "base/path_names.h"
#include "base/text.h"
#include "fuzz_support/scratch_file.h"

namespace {

// Whether a line of the text, without its LF or CR LF, is longer than a settings line may be.
bool hasOverlongLine(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > rendlow::kMaxSettingsLineBytes) return true;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return false;
}

// Whether a "tr" line of the text does not read whole or gives a definition name that could not
// name a sound file, read as the reader reads a line: up to its first NUL, the key before the
// first tab.
bool hasRefusedRow(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, line.find('\0'));
    const std::size_t tab = line.find('\t');
    if (tab != std::string_view::npos && line.substr(0, tab) == "tr") {
      const rendlow::Result<rendlow::TrackSettings> row = rendlow::readTrackFields(line.substr(tab + 1), 1);
      if (!row || !rendlow::isSafeFileName(row->definitionName)) return true;
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace rendlow;
  const std::string path = fuzz::writeScratchFile("input.txt", data, size);
  const Result<SettingsFileContents> contents = loadSettings(path);
  // The file exists: it must be read, unless a line of it is too long to be or names a sound file
  // that could not be.
  if (!contents) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!hasOverlongLine(text) && !hasRefusedRow(text)) std::abort();
    return 0;
  }
  for (const std::string* text : {&contents->genre, &contents->title, &contents->artist}) {
    if (text->size() > kMaxTextBytes) std::abort();
  }
  for (const TrackSettings& record : contents->records) {
    if (record.trackName.size() > kMaxTextBytes || record.definitionName.size() > kMaxTextBytes) std::abort();
  }
  return 0;
}
