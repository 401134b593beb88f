// The settings-file reader on arbitrary text: a settings file someone edited by hand must neither
// crash the program nor yield a text longer than the program stores, and is refused only for a
// line it cannot read as saved or a "tr" line that does not read whole or names no file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_file.h"
#include "app/track_line.h"
#include "base/path_names.h"
#include "base/platform.h"
#include "base/text.h"
#include "fuzz_support/scratch_file.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The text's lines as the reader takes them, each without its LF or CR LF and converted from UTF-8
// when the text begins with the byte order mark; nothing when a line is one the reader refuses
// whatever its key: longer than a settings line may be, or, in a UTF-8 file, not UTF-8 that the
// program's code page can hold.
std::optional<std::vector<std::string>> readableLines(std::string_view text) {
  const bool utf8 = text.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (utf8) text.remove_prefix(kUtf8Mark.size());
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    if (end != std::string_view::npos && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.size() > (utf8 ? 3 : 1) * rendlow::kMaxSettingsLineBytes) return std::nullopt;
    std::optional<std::string> line = utf8 ? rendlow::programTextFromUtf8(raw) : std::string(raw);
    if (!line || line->size() > rendlow::kMaxSettingsLineBytes) return std::nullopt;
    lines.push_back(std::move(*line));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Whether a "tr" line does not read whole or gives a definition name that could not name a sound
// file, read as the reader reads a line: up to its first NUL, the key before the first tab.
bool hasRefusedRow(const std::vector<std::string>& lines) {
  for (const std::string& whole : lines) {
    const std::string_view line = std::string_view(whole).substr(0, whole.find('\0'));
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || line.substr(0, tab) != "tr") continue;
    const rendlow::Result<rendlow::TrackSettings> row = rendlow::readTrackFields(line.substr(tab + 1), 1);
    if (!row || !rendlow::isSafeFileName(row->definitionName)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace rendlow;
  const std::string path = fuzz::writeScratchFile("input.txt", data, size);
  const Result<SettingsFileContents> contents = loadSettings(path);
  // The file exists: it must be read, unless a line of it cannot be read as saved or names a sound
  // file that could not be.
  if (!contents) {
    const std::optional<std::vector<std::string>> lines =
        readableLines({reinterpret_cast<const char*>(data), size});
    if (lines && !hasRefusedRow(*lines)) std::abort();
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
