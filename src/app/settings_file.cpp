#include "app/settings_file.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "app/paths.h"
#include "app/project.h"
#include "app/track_line.h"
#include "base/file_input.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "base/path_names.h"
#include "base/platform.h"

namespace rendlow {

namespace {

// Collects the file's lines, refusing any that the reader could not take back whole.
class SettingsWriter {
public:
  // `what` names the line for the user when it is too long.
  Result<void> add(std::string_view key, std::string_view value, const Message& what) {
    const std::size_t length = key.size() + 1 + value.size();
    if (length > kMaxSettingsLineBytes)
      return Problem{settingsLineTooLongReason(what, length, kMaxSettingsLineBytes)};
    contents_.append(key).append("\t").append(value).append("\n");
    return {};
  }

  const std::string& contents() const { return contents_; }

private:
  std::string contents_;
};

Result<void> addLines(const Project& project, const std::string& settingsPath, SettingsWriter& writer) {
  const auto keptPath = [&](const std::string& path) {
    return project.relativeSettingsPaths ? keptFrom(folderOf(settingsPath), path) : path;
  };
  if (Result<void> added = writer.add("i", keptPath(project.inputPath), settingsLineOfPath(true)); !added)
    return added;
  if (Result<void> added = writer.add("o", keptPath(project.outputPath), settingsLineOfPath(false)); !added)
    return added;
  const auto listed = project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const std::string& name = project.song.tracks[listed[row]].name;
    if (Result<void> added = writer.add("tr", formatTrackFields(name, project.settings[listed[row]]),
                                        settingsLineOfRow(static_cast<int>(row), name));
        !added)
      return added;
  }
  // After the rows, so that a whole reading of the song gives each its track again.
  for (std::size_t k = 0; k < project.recordsOfUnreadTracks.size(); ++k) {
    const TrackSettings& record = project.recordsOfUnreadTracks[k];
    const int row = static_cast<int>(listed.size() + k);
    if (Result<void> added = writer.add("tr", formatTrackFields(record.trackName, record),
                                        settingsLineOfRow(row, record.trackName));
        !added)
      return added;
  }
  const ChartHeader& header = project.chartHeader;
  if (Result<void> added = writer.add("g", header.genre, settingsLineOfHeader("GENRE")); !added) return added;
  if (Result<void> added = writer.add("t", header.title, settingsLineOfHeader("TITLE")); !added) return added;
  if (Result<void> added = writer.add("a", header.artist, settingsLineOfHeader("ARTIST")); !added) return added;
  if (project.chartDigest.empty()) return {};
  return writer.add("h", project.chartDigest, settingsLineOfHeader("h"));
}

enum class LineRead { Line, TooLong, End };

// Reads one line, without its LF or CR LF. A line of more than `limit` bytes is not read to its
// end: the file is refused there, so an endless line costs no more than one buffer.
LineRead readLine(std::FILE* in, std::string& line, std::size_t limit) {
  line.clear();
  for (;;) {
    const int c = std::getc(in);
    if (c == EOF) {
      if (line.empty()) return LineRead::End;
      break;
    }
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      break;
    }
    line.push_back(static_cast<char>(c));
    // One byte of slack for the CR of a CR LF line end.
    if (line.size() > limit + 1) return LineRead::TooLong;
  }
  return line.size() > limit ? LineRead::TooLong : LineRead::Line;
}

// Notepad saves UTF-8 with a byte order mark. Such a file is read past the mark, when it has one.
bool skipByteOrderMark(std::FILE* in) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  char start[3] = {};
  if (std::fread(start, 1, sizeof start, in) == sizeof start &&
      std::string_view(start, sizeof start) == kUtf8Mark)
    return true;
  std::rewind(in);
  return false;
}

// A character of code page 932 takes up to three bytes in UTF-8.
constexpr std::size_t kMaxUtf8LineBytes = 3 * kMaxSettingsLineBytes;

// Line `number` of a UTF-8 file, in the program's texts, within the length a saved line may have.
Result<void> fromUtf8(std::string& line, std::size_t number) {
  std::optional<std::string> converted = programTextFromUtf8(line);
  if (!converted) return Problem{settingsLineNotInCodePageReason(number)};
  if (converted->size() > kMaxSettingsLineBytes)
    return Problem{settingsLineUnreadableReason(number, kMaxSettingsLineBytes)};
  line = std::move(*converted);
  return {};
}

// The keys whose value is the whole rest of the line, TABs included.
constexpr std::array<std::pair<std::string_view, std::string SettingsFileContents::*>, 6> kTextKeys = {{
    {"i", &SettingsFileContents::inputPath},
    {"o", &SettingsFileContents::outputPath},
    {"g", &SettingsFileContents::genre},
    {"t", &SettingsFileContents::title},
    {"a", &SettingsFileContents::artist},
    {"h", &SettingsFileContents::chartDigest},
}};

// A "tr" line, whole, or refused with its line number: a row that cannot be read as saved, or whose
// definition name would lead its sound files out of the folder or that no system could take, is
// never loaded to be written back changed.
Result<void> readRow(std::string_view value, std::size_t number, SettingsFileContents& contents) {
  Result<TrackSettings> record = readTrackFields(value, number);
  if (!record) return record.problem();
  if (!isSafeFileName(record->definitionName))
    return Problem{settingsNameRefusedReason(number, record->definitionName)};
  contents.records.push_back(std::move(record).value());
  return {};
}

// One line into the contents, by its key; other keys and lines without a TAB are passed over.
Result<void> readLineInto(std::string_view line, std::size_t number, SettingsFileContents& contents) {
  // A line is a C text to the program: it ends at its first NUL byte.
  line = line.substr(0, line.find('\0'));
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return {};
  const std::string_view key = line.substr(0, tab);
  const std::string_view value = line.substr(tab + 1);
  for (const auto& [textKey, text] : kTextKeys) {
    if (key == textKey) {
      (contents.*text).assign(value);
      return {};
    }
  }
  if (key == "tr") return readRow(value, number, contents);
  return {};
}

}  // namespace

Result<void> saveSettings(const Project& project, const std::string& path) {
  SettingsWriter writer;
  if (Result<void> added = addLines(project, path, writer); !added) return added;
  return writeFileAtomically(path, writer.contents(), FileMode::Text);
}

Result<SettingsFileContents> loadSettings(const std::string& path) {
  // Binary, so that CR LF and LF files read alike on every platform. The lines are read one at a
  // time, not the whole file first, so that an endless line stops the reading (see readLine).
  // No setting after such a line can be trusted to be the one saved, so the file is refused.
  const Result<InputFile> file = openForReading(path, {readReason, folderReason});
  if (!file) return file.problem();
  SettingsFileContents contents;
  contents.readAsUtf8 = skipByteOrderMark(file->get());
  const std::size_t limit = contents.readAsUtf8 ? kMaxUtf8LineBytes : kMaxSettingsLineBytes;
  std::string line;
  for (std::size_t number = 1;; ++number) {
    const LineRead read = readLine(file->get(), line, limit);
    if (read == LineRead::End) break;
    if (read == LineRead::TooLong)
      return Problem{settingsLineUnreadableReason(number, kMaxSettingsLineBytes)};
    if (contents.readAsUtf8) {
      if (Result<void> converted = fromUtf8(line, number); !converted) return converted.problem();
    }
    if (Result<void> read = readLineInto(line, number, contents); !read) return read.problem();
  }
  const std::string_view folder = folderOf(path);
  contents.inputPath = resolveFrom(folder, contents.inputPath);
  contents.outputPath = resolveFrom(folder, contents.outputPath);
  return contents;
}

bool mayHoldSettingsOf(const std::string& path, const std::string& songPath) {
  if (path.empty() || outputSpot(path) == OutputSpot::Free) return true;
  const Result<SettingsFileContents> read = loadSettings(path);
  return read && namesSameFile(read->inputPath, songPath);
}

}  // namespace rendlow
