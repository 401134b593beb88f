#include "core/settings_file.h"

#include <fstream>
#include <streambuf>
#include <string_view>

#include "base/messages.h"
#include "core/project.h"
#include "core/track_line.h"

namespace rendlow {

namespace {

// Collects the file's lines, refusing any that the reader could not take back whole.
class SettingsWriter {
public:
  // `what` names the line for the user when it is too long.
  bool add(std::string_view key, std::string_view value, const std::string& what) {
    const std::size_t length = key.size() + 1 + value.size();
    if (length > kMaxSettingsLineBytes) {
      reason_ = settingsLineTooLongReason(what, length, kMaxSettingsLineBytes);
      return false;
    }
    contents_.append(key).append("\t").append(value).append("\n");
    return true;
  }

  const std::string& contents() const { return contents_; }
  const std::string& reason() const { return reason_; }

private:
  std::string contents_;
  std::string reason_;
};

bool addLines(const Project& project, SettingsWriter& writer) {
  if (!writer.add("i", project.inputPath, settingsLineOfPath(true)) ||
      !writer.add("o", project.outputPath, settingsLineOfPath(false))) {
    return false;
  }
  const auto listed = project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const MidiTrack& track = *listed[row];
    if (!writer.add("tr", formatTrackFields(track.name, track.settings),
                    settingsLineOfRow(static_cast<int>(row), track.name))) {
      return false;
    }
  }
  return writer.add("g", project.genre, "GENRE") && writer.add("t", project.title, "TITLE") &&
         writer.add("a", project.artist, "ARTIST");
}

enum class LineRead { Line, TooLong, End };

// Reads one line, without its LF or CR LF. A line of more than kMaxSettingsLineBytes bytes is not
// read to its end: the reading stops there, so an endless line costs no more than one buffer.
LineRead readLine(std::streambuf& in, std::string& line) {
  using Traits = std::streambuf::traits_type;
  line.clear();
  for (;;) {
    const Traits::int_type c = in.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) {
      if (line.empty()) return LineRead::End;
      break;
    }
    if (Traits::to_char_type(c) == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      break;
    }
    line.push_back(Traits::to_char_type(c));
    // One byte of slack for the CR of a CR LF line end.
    if (line.size() > kMaxSettingsLineBytes + 1) return LineRead::TooLong;
  }
  return line.size() > kMaxSettingsLineBytes ? LineRead::TooLong : LineRead::Line;
}

void readLineInto(std::string_view line, SettingsFileContents& contents) {
  // A line is a C text to the program: it ends at its first NUL byte.
  line = line.substr(0, line.find('\0'));
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return;
  const std::string_view key = line.substr(0, tab);
  const std::string_view value = line.substr(tab + 1);
  if (key == "i") {
    contents.inputPath.assign(value);
  } else if (key == "o") {
    contents.outputPath.assign(value);
  } else if (key == "g") {
    contents.genre.assign(value);
  } else if (key == "t") {
    contents.title.assign(value);
  } else if (key == "a") {
    contents.artist.assign(value);
  } else if (key == "tr") {
    contents.records.push_back(scanTrackFields(value));
  }
}

}  // namespace

WriteStatus saveSettings(const Project& project) {
  SettingsWriter writer;
  if (!addLines(project, writer)) return WriteStatus::failed(writer.reason());
  return writeFileAtomically(project.settingsPath, writer.contents(), FileMode::Text);
}

bool loadSettings(const std::string& path, SettingsFileContents& contents) {
  contents = SettingsFileContents{};
  // Binary, so that CR LF and LF files read alike on every platform.
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return false;
  std::string line;
  while (readLine(*file.rdbuf(), line) == LineRead::Line) readLineInto(line, contents);
  return true;
}

}  // namespace rendlow
