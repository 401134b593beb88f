#include "bms/chart_merge.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "base/messages_keeping.h"
#include "bms/bms_writer.h"
#include "bms/chart_format.h"
#include "bms/chart_limits.h"

namespace rendlow {

namespace {

constexpr std::string_view kEmptySlot = "00";

// The header lines the program writes with fixed values: an author who changed one meant it.
constexpr std::array<std::string_view, 4> kFixedHeaderCommands = {"#PLAYER", "#PLAYLEVEL", "#RANK", "#TOTAL"};
// Fixed values earlier versions of the program wrote: a chart holding one was not changed there by
// its author, and takes today's value ("#RANK 100" lies outside every player's judge ranks).
constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kEarlierFixedValues = {{{"#RANK", "100"}}};
// The header texts the settings hold (see chartHeaderTexts).
constexpr std::array<std::string_view, 3> kHeaderTextCommands = {"#GENRE", "#TITLE", "#ARTIST"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

std::string upperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// "#PLAYLEVEL 3" is command "#PLAYLEVEL" with value "3"; a command is read in either case.
struct HeaderLine {
  std::string command;
  std::string_view value;
};

HeaderLine headerLineOf(std::string_view line) {
  std::size_t end = 0;
  while (end < line.size() && !isBlank(line[end])) ++end;
  return {upperCase(line.substr(0, end)), trimmed(line.substr(end))};
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "#mmmcc:data": measure mmm, channel cc (digits or letters), slots of two characters.
struct ChannelLineRef {
  int32_t measure = 0;
  std::string channel;
  std::string_view data;
};

std::optional<ChannelLineRef> channelLineOf(std::string_view line) {
  constexpr std::size_t colon = kChannelLineStartSize - 1;
  if (line.size() < kChannelLineStartSize || line[0] != '#' || line[colon] != ':' || !isDigit(line[1]) ||
      !isDigit(line[2]) || !isDigit(line[3]))
    return std::nullopt;
  const int32_t measure = (line[1] - '0') * 100 + (line[2] - '0') * 10 + (line[3] - '0');
  return ChannelLineRef{measure, upperCase(line.substr(4, 2)), trimmed(line.substr(kChannelLineStartSize))};
}

int channelNumber(std::string_view channel) {
  return isDigit(channel[0]) && isDigit(channel[1]) ? (channel[0] - '0') * 10 + (channel[1] - '0') : -1;
}

// The channels a player plays an object on when the player hits it, or shows it, or holds it:
// visible notes of both sides, invisible ones, long notes, and mines.
bool isLaneChannel(std::string_view channel) {
  if ((channel[0] == 'D' || channel[0] == 'E') && channel[1] >= '1' && channel[1] <= '9') return true;
  const int number = channelNumber(channel);
  return (number >= 11 && number <= 19) || (number >= 21 && number <= 29) || (number >= 31 && number <= 49) ||
         (number >= 51 && number <= 69);
}

bool isLongNoteChannel(std::string_view channel) {
  const int number = channelNumber(channel);
  return number >= 51 && number <= 69;
}

bool isBgaChannel(int number) { return number == 4 || number == 6 || number == 7; }

// A sound file of the program: "<definition name>_<number>.wav", or .ogg once encoded.
struct SoundFile {
  std::string definitionName;
};

std::optional<SoundFile> soundFileOf(std::string_view fileName, std::span<const std::string> soundNames) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string extension = upperCase(fileName.substr(dot));
  if (extension != ".WAV" && extension != ".OGG") return std::nullopt;
  const std::string_view stem = fileName.substr(0, dot);
  const std::size_t underscore = stem.rfind('_');
  if (underscore == std::string_view::npos || underscore + 1 == stem.size()) return std::nullopt;
  if (!std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(underscore) + 1, stem.end(), isDigit))
    return std::nullopt;
  const std::string_view name = stem.substr(0, underscore);
  if (std::find(soundNames.begin(), soundNames.end(), name) == soundNames.end()) return std::nullopt;
  return SoundFile{std::string(name)};
}

// The old chart's #WAV definitions: the program's sound of each id, and the ids the author
// defined for sounds of their own.
struct OldDefinitions {
  std::map<int32_t, std::string> soundOfId;  // id → its definition name
  std::set<int32_t> authorIds;
};

OldDefinitions definitionsOf(std::span<const std::string_view> lines, std::span<const std::string> soundNames) {
  OldDefinitions definitions;
  for (const std::string_view line : lines) {
    const HeaderLine header = headerLineOf(line);
    if (header.command.size() != kWavCommand.size() + 2 || !header.command.starts_with(kWavCommand)) continue;
    const int32_t id = base36Id(std::string_view(header.command).substr(kWavCommand.size()));
    if (id <= 0) continue;
    if (const std::optional<SoundFile> sound = soundFileOf(header.value, soundNames))
      definitions.soundOfId[id] = sound->definitionName;
    else
      definitions.authorIds.insert(id);
  }
  return definitions;
}

// One object of an old channel line: where it stands, which line and slot hold it.
struct OldObject {
  std::size_t line = 0;
  int32_t slot = 0;
  int32_t slots = 1;
  int32_t measure = 0;
  std::string channel;
  int32_t id = 0;
};

bool earlier(const OldObject& a, const OldObject& b) {
  if (a.measure != b.measure) return a.measure < b.measure;
  return int64_t{a.slot} * b.slots < int64_t{b.slot} * a.slots;
}

// Where a moved object's note plays in the new chart.
struct NoteRef {
  std::size_t track = 0;
  std::size_t note = 0;
};

// Finds, for the old chart's objects, the notes of the new chart they stood for.
class NoteFinder {
public:
  explicit NoteFinder(Chart& chart) : chart_(chart) {
    for (std::size_t t = 0; t < chart.tracks.size(); ++t) trackOfName_[chart.tracks[t].definitionName] = t;
  }

  // The unclaimed note of the track named `definitionName` at the object's place, the lowest when
  // several sound there; it is claimed for the object. Nothing when the note is gone.
  std::optional<NoteRef> claim(const std::string& definitionName, const OldObject& object) {
    const auto track = trackOfName_.find(definitionName);
    if (track == trackOfName_.end()) return std::nullopt;
    std::vector<ChartNote>& notes = chart_.tracks[track->second].notes;
    std::optional<NoteRef> found;
    for (std::size_t n = firstInMeasure(notes, object.measure); n < notes.size(); ++n) {
      const ChartNote& note = notes[n];
      if (note.measureIndex != object.measure) break;
      if (note.inLane || int64_t{note.position} * object.slots != int64_t{object.slot} * note.resolution) continue;
      if (!found || note.pitch < notes[found->note].pitch) found = NoteRef{track->second, n};
    }
    if (found) notes[found->note].inLane = true;
    return found;
  }

  const ChartNote& note(const NoteRef& ref) const { return chart_.tracks[ref.track].notes[ref.note]; }

private:
  static std::size_t firstInMeasure(const std::vector<ChartNote>& notes, int32_t measure) {
    const auto first = std::partition_point(notes.begin(), notes.end(),
                                            [&](const ChartNote& note) { return note.measureIndex < measure; });
    return static_cast<std::size_t>(first - notes.begin());
  }

  Chart& chart_;
  std::map<std::string, std::size_t> trackOfName_;
};

// The program's new ids, moved past the ids the author keeps: the n-th id of the new chart becomes
// the n-th id no author's sound takes.
class IdShift {
public:
  IdShift(const std::set<int32_t>& authorIds, int32_t largestId) : shifted_(static_cast<std::size_t>(largestId) + 1) {
    int32_t next = 1;
    for (int32_t id = 1; id <= largestId; ++id) {
      while (authorIds.contains(next)) ++next;
      shifted_[static_cast<std::size_t>(id)] = next++;
    }
  }

  int32_t operator()(int32_t id) const {
    return id > 0 && static_cast<std::size_t>(id) < shifted_.size() ? shifted_[static_cast<std::size_t>(id)] : id;
  }
  int32_t largest() const { return shifted_.empty() ? 0 : shifted_.back(); }

private:
  std::vector<int32_t> shifted_;
};

void setSlot(std::string& data, int32_t slot, std::string_view id) {
  data.replace(static_cast<std::size_t>(slot) * 2, 2, id);
}

bool allEmpty(std::string_view data) {
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    if (data.substr(i, 2) != kEmptySlot) return false;
  return true;
}

// The author's lines of the old chart as they will stand in the new one, in their order; a line
// of channel data holds what `data` says for it.
struct KeptLine {
  std::string text;
  bool beforeChannels = false;  // stood before the chart's first channel line
};

class ChartMerger {
public:
  ChartMerger(std::string_view oldText, Chart chart, std::span<const std::string> soundNames)
      : lines_(linesOf(oldText)), definitions_(definitionsOf(lines_, soundNames)), chart_(std::move(chart)) {}

  Result<MergedChart> merge(const Song& song, const MeasureGrid& grid, const ChartHeader& header) {
    keepLines();
    pointMovedObjects();
    Result<std::string> text = formatBmsChart(song, grid, chart_, header);
    if (!text) return text.problem();
    const IdShift shift(definitions_.authorIds, largestWavId(chart_));
    if (!definitions_.authorIds.empty() && shift.largest() > kMaxChartId)
      return Problem{authorSoundsPushIdsPastLimitMessage(static_cast<int32_t>(definitions_.authorIds.size()),
                                                         shift.largest(), kMaxChartId)};
    writeMovedIds(shift);
    countSplitNotes();
    std::string merged = assemble(shiftedIds(*text, shift));
    return MergedChart{std::move(merged), kept_};
  }

private:
  // Sorts the old lines: the program's own go, the author's stay (their objects of the program's
  // sounds gathered to be pointed at the new ones).
  void keepLines() {
    bool beforeChannels = true;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string_view line = trimmed(lines_[i]);
      if (line.empty()) continue;
      if (const std::optional<ChannelLineRef> channel = channelLineOf(line)) {
        beforeChannels = false;
        keepChannelLine(i, *channel);
      } else if (keepsHeaderLine(line)) {
        kept_.headerLines++;
        keep(std::string(line), beforeChannels);
      }
    }
  }

  void keep(std::string text, bool beforeChannels) {
    keptLines_.push_back({std::move(text), beforeChannels});
    data_.emplace_back();
  }

  bool keepsHeaderLine(std::string_view line) {
    const HeaderLine header = headerLineOf(line);
    if (header.command == kBpmCommand) return false;
    if (header.command.size() == kBpmCommand.size() + 2 && header.command.starts_with(kBpmCommand)) return false;
    if (header.command.size() == kWavCommand.size() + 2 && header.command.starts_with(kWavCommand))
      return !definitions_.soundOfId.contains(base36Id(std::string_view(header.command).substr(kWavCommand.size())));
    if (std::find(kHeaderTextCommands.begin(), kHeaderTextCommands.end(), header.command) !=
        kHeaderTextCommands.end())
      return false;
    if (std::find(kFixedHeaderCommands.begin(), kFixedHeaderCommands.end(), header.command) !=
        kFixedHeaderCommands.end()) {
      const std::pair<std::string_view, std::string_view> value{header.command, header.value};
      if (std::find(kEarlierFixedValues.begin(), kEarlierFixedValues.end(), value) == kEarlierFixedValues.end())
        fixedValues_[header.command] = std::string(line);
      return false;
    }
    return true;
  }

  void keepChannelLine(std::size_t lineIndex, const ChannelLineRef& channel) {
    const int number = channelNumber(channel.channel);
    if (number == kChannelMeasureLength || number == kChannelHexTempo || number == kChannelTempo) return;
    const std::string start(trimmed(lines_[lineIndex]).substr(0, kChannelLineStartSize));
    const std::size_t kept = keptLines_.size();
    keep(start, false);
    data_[kept] = std::string(channel.data);
    if (number == kChannelBackground) return dropProgramSounds(kept);
    if (isBgaChannel(number)) kept_.bgaLines++;
    if (isLaneChannel(channel.channel)) gatherLaneObjects(kept, channel);
  }

  // The background is the new chart's; objects of the author's own sounds on it stay.
  void dropProgramSounds(std::size_t kept) {
    std::string& data = data_[kept];
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      if (definitions_.soundOfId.contains(base36Id(std::string_view(data).substr(i, 2))))
        data.replace(i, 2, kEmptySlot);
    }
    if (allEmpty(data)) dropped_.insert(kept);
  }

  void gatherLaneObjects(std::size_t kept, const ChannelLineRef& channel) {
    const std::string& data = data_[kept];
    const auto slots = static_cast<int32_t>(data.size() / 2);
    for (int32_t slot = 0; slot < slots; ++slot) {
      const std::string_view pair = std::string_view(data).substr(static_cast<std::size_t>(slot) * 2, 2);
      if (pair == kEmptySlot) continue;
      objects_.push_back({kept, slot, slots, channel.measure, channel.channel, base36Id(pair)});
    }
  }

  // Each lane object of the program's sounds is claimed by its note in the new chart; a long
  // note's end follows its start, as it has no note of its own.
  void pointMovedObjects() {
    std::map<std::string, std::vector<std::size_t>> longNotes;
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      if (isLongNoteChannel(objects_[i].channel)) longNotes[objects_[i].channel].push_back(i);
    }
    std::set<std::size_t> longNoteEnds;
    for (auto& [channel, objects] : longNotes) {
      std::stable_sort(objects.begin(), objects.end(),
                       [&](std::size_t a, std::size_t b) { return earlier(objects_[a], objects_[b]); });
      for (std::size_t k = 1; k < objects.size(); k += 2) {
        endOfStart_[objects[k - 1]] = objects[k];
        longNoteEnds.insert(objects[k]);
      }
    }
    NoteFinder finder(chart_);
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      if (longNoteEnds.contains(i)) continue;
      pointObject(i, finder);
    }
  }

  void pointObject(std::size_t index, NoteFinder& finder) {
    const OldObject& object = objects_[index];
    const auto sound = definitions_.soundOfId.find(object.id);
    if (sound == definitions_.soundOfId.end()) return;
    const auto end = endOfStart_.find(index);
    const int32_t objects = end == endOfStart_.end() ? 1 : 2;
    kept_.laneObjects += objects;
    const std::optional<NoteRef> note = finder.claim(sound->second, object);
    if (!note) {
      leaveOut(object);
      if (end != endOfStart_.end()) leaveOut(objects_[end->second]);
      return;
    }
    kept_.moved += objects;
    moved_.push_back({index, *note});
    if (end != endOfStart_.end()) moved_.push_back({end->second, *note});
  }

  void leaveOut(const OldObject& object) {
    kept_.leftOut.push_back({object.measure, object.channel, object.slot, object.slots});
    setSlot(data_[object.line], object.slot, kEmptySlot);
    if (allEmpty(data_[object.line])) dropped_.insert(object.line);
  }

  void writeMovedIds(const IdShift& shift) {
    for (const auto& [index, ref] : moved_) {
      const OldObject& object = objects_[index];
      const ChartNote& note = chart_.tracks[ref.track].notes[ref.note];
      setSlot(data_[object.line], object.slot, toBase36(shift(note.wav)));
    }
  }

  // Notes standing with a moved object that the new slicing sounds apart: they stay in the background.
  void countSplitNotes() {
    std::set<std::tuple<std::size_t, int32_t, int64_t, int64_t>> places;
    for (const auto& [index, ref] : moved_) {
      const ChartNote& note = chart_.tracks[ref.track].notes[ref.note];
      places.insert({ref.track, note.measureIndex, note.position, note.resolution});
    }
    for (const auto& [track, measure, position, resolution] : places) {
      for (const ChartNote& note : chart_.tracks[track].notes) {
        if (note.measureIndex == measure && !note.inLane &&
            int64_t{note.position} * resolution == position * note.resolution)
          kept_.splitNotesInBackground++;
      }
    }
  }

  // The new chart's text with the author's lines: the header values the author changed in place,
  // the author's lines from before the first channel line after the definitions, the others after
  // the new chart's channel lines.
  std::string assemble(const std::string& text) {
    std::string before;
    std::string after;
    for (std::size_t i = 0; i < keptLines_.size(); ++i) {
      if (dropped_.contains(i)) continue;
      std::string& out = keptLines_[i].beforeChannels ? before : after;
      out += keptLines_[i].text + data_[i] + "\n";
    }
    std::string merged;
    bool inserted = false;
    for (const std::string_view line : linesOf(text)) {
      if (!inserted && channelLineOf(line)) {
        if (!before.empty()) merged += before + "\n";
        inserted = true;
      }
      merged += withAuthorsValue(line);
      merged += "\n";
    }
    if (!after.empty()) merged += "\n" + after;
    return merged;
  }

  // A header line of a fixed value, as the author set it where they changed it.
  std::string withAuthorsValue(std::string_view line) {
    const HeaderLine header = headerLineOf(line);
    const auto authors = fixedValues_.find(header.command);
    if (authors == fixedValues_.end() || headerLineOf(authors->second).value == header.value) return std::string(line);
    kept_.headerLines++;
    return authors->second;
  }

  // The new chart's text with its ids moved past the author's: its #WAV lines and its background.
  std::string shiftedIds(const std::string& text, const IdShift& shift) const {
    if (definitions_.authorIds.empty()) return text;
    std::string shifted;
    for (const std::string_view line : linesOf(text)) {
      std::string copy(line);
      const HeaderLine header = headerLineOf(line);
      if (header.command.size() == kWavCommand.size() + 2 && header.command.starts_with(kWavCommand)) {
        const int32_t id = base36Id(std::string_view(header.command).substr(kWavCommand.size()));
        copy.replace(kWavCommand.size(), 2, toBase36(shift(id)));
      } else if (const std::optional<ChannelLineRef> channel = channelLineOf(line);
                 channel && channelNumber(channel->channel) == kChannelBackground) {
        for (std::size_t i = kChannelLineStartSize; i + 1 < copy.size(); i += 2) {
          const int32_t id = base36Id(std::string_view(copy).substr(i, 2));
          if (id > 0) copy.replace(i, 2, toBase36(shift(id)));
        }
      }
      shifted += copy + "\n";
    }
    return shifted;
  }

  std::vector<std::string_view> lines_;
  OldDefinitions definitions_;
  Chart chart_;
  ChartWorkKept kept_;
  std::vector<KeptLine> keptLines_;
  std::vector<std::string> data_;  // per kept line: its channel data, edited
  std::set<std::size_t> dropped_;  // kept lines left with nothing to play
  std::vector<OldObject> objects_;
  std::map<std::size_t, std::size_t> endOfStart_;  // a long note's start object → its end object
  std::vector<std::pair<std::size_t, NoteRef>> moved_;
  std::map<std::string, std::string> fixedValues_;
};

}  // namespace

ChartHeader chartHeaderTexts(std::string_view chartText) {
  ChartHeader texts{"", "", ""};
  for (const std::string_view line : linesOf(chartText)) {
    const HeaderLine header = headerLineOf(trimmed(line));
    if (header.command == kHeaderTextCommands[0]) texts.genre = header.value;
    if (header.command == kHeaderTextCommands[1]) texts.title = header.value;
    if (header.command == kHeaderTextCommands[2]) texts.artist = header.value;
  }
  return texts;
}

std::optional<std::string> definitionNameOfSoundFile(std::string_view fileName,
                                                     std::span<const std::string> soundNames) {
  std::optional<SoundFile> sound = soundFileOf(fileName, soundNames);
  if (!sound) return std::nullopt;
  return std::move(sound->definitionName);
}

Result<MergedChart> mergeBmsChart(std::string_view oldText, Chart chart, const Song& song, const MeasureGrid& grid,
                                  const ChartHeader& header, std::span<const std::string> soundNames) {
  return ChartMerger(oldText, std::move(chart), soundNames).merge(song, grid, header);
}

}  // namespace rendlow
