#include "bms/chart_merge.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

#include "base/messages_keeping.h"
#include "bms/bms_writer.h"
#include "bms/chart_format.h"
#include "bms/chart_limits.h"
#include "bms/chart_text.h"
#include "bms/note_claims.h"

namespace rendlow {

namespace {

constexpr std::string_view kEmptySlot = "00";

// The header lines the program writes with fixed values: an author who changed one meant it.
constexpr std::array<std::string_view, 4> kFixedHeaderCommands = {"#PLAYER", "#PLAYLEVEL", "#RANK", "#TOTAL"};
// Fixed values earlier versions of the program wrote: a chart holding one was not changed there by
// its author, and takes today's value ("#RANK 100" lies outside every player's judge ranks).
constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kEarlierFixedValues = {{{"#RANK", "100"}}};

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

// The old chart's #WAV definitions: the program's sound of each id, and the ids the author
// defined for sounds of their own.
struct OldDefinitions {
  std::map<int32_t, std::string> soundOfId;  // id → its definition name
  std::set<int32_t> authorIds;
};

OldDefinitions definitionsOf(std::span<const std::string_view> lines, std::span<const std::string> soundNames) {
  OldDefinitions definitions;
  for (const std::string_view line : lines) {
    const HeaderLine header = headerLineOf(trimmedLine(line));
    const int32_t id = definitionIdOf(header, kWavCommand);
    if (id <= 0) continue;
    if (std::optional<std::string> sound = definitionNameOfSoundFile(header.value, soundNames))
      definitions.soundOfId[id] = std::move(*sound);
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

// An author's line of the old chart as it will stand in the new one: a channel line's start
// ("#00111:") and its data as edited, or a whole other line.
struct KeptLine {
  std::string text;
  std::string data;
  bool beforeChannels = false;  // stood before the chart's first channel line
  bool dropped = false;         // left with nothing to play
};

class ChartMerger {
public:
  ChartMerger(std::string_view oldText, Chart chart, const MeasureGrid& grid,
              std::span<const std::string> soundNames)
      : lines_(textLines(oldText)),
        definitions_(definitionsOf(lines_, soundNames)),
        chart_(std::move(chart)),
        grid_(grid),
        claims_(chart_) {}

  Result<MergedChart> merge(const Song& song, const ChartHeader& header) {
    keepLines();
    pointMovedObjects();
    for (const NoteRef& ref : claims_.claimed()) chart_.tracks[ref.track].notes[ref.note].inLane = true;
    Result<std::string> text = formatBmsChart(song, grid_, chart_, header);
    if (!text) return text.problem();
    const IdShift shift(definitions_.authorIds, largestWavId(chart_));
    if (!definitions_.authorIds.empty() && shift.largest() > kMaxChartId)
      return Problem{authorSoundsPushIdsPastLimitMessage(static_cast<int32_t>(definitions_.authorIds.size()),
                                                         shift.largest(), kMaxChartId)};
    writeMovedIds(shift);
    kept_.splitNotesInBackground = claims_.unclaimedBesideClaimed();
    std::string merged = assemble(shiftedIds(*text, shift));
    return MergedChart{std::move(merged), kept_};
  }

private:
  // Sorts the old lines: the program's own go, the author's stay (their objects of the program's
  // sounds gathered to be pointed at the new ones).
  void keepLines() {
    bool beforeChannels = true;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string_view line = trimmedLine(lines_[i]);
      if (line.empty()) continue;
      if (const std::optional<ChannelLineText> channel = channelLineOf(line)) {
        beforeChannels = false;
        keepChannelLine(i, *channel);
      } else if (keepsHeaderLine(line)) {
        kept_.headerLines++;
        keptLines_.push_back({std::string(line), "", beforeChannels});
      }
    }
  }

  bool keepsHeaderLine(std::string_view line) {
    const HeaderLine header = headerLineOf(line);
    if (header.command == kBpmCommand || definitionIdOf(header, kBpmCommand) >= 0) return false;
    if (const int32_t id = definitionIdOf(header, kWavCommand); id >= 0) return !definitions_.soundOfId.contains(id);
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

  void keepChannelLine(std::size_t lineIndex, const ChannelLineText& channel) {
    const int number = channelNumber(channel.channel);
    if (number == kChannelMeasureLength || number == kChannelHexTempo || number == kChannelTempo) return;
    const std::size_t kept = keptLines_.size();
    keptLines_.push_back({std::string(trimmedLine(lines_[lineIndex]).substr(0, kChannelLineStartSize)),
                          std::string(channel.data), false});
    if (number == kChannelBackground) return dropProgramSounds(kept);
    if (isBgaChannel(number)) kept_.bgaLines++;
    if (isLaneChannel(channel.channel)) gatherLaneObjects(kept, channel);
  }

  // The background is the new chart's; objects of the author's own sounds on it stay.
  void dropProgramSounds(std::size_t kept) {
    std::string& data = keptLines_[kept].data;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      if (definitions_.soundOfId.contains(base36Id(std::string_view(data).substr(i, 2))))
        data.replace(i, 2, kEmptySlot);
    }
    keptLines_[kept].dropped = allEmpty(data);
  }

  void gatherLaneObjects(std::size_t kept, const ChannelLineText& channel) {
    const std::string& data = keptLines_[kept].data;
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
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      if (!longNoteEnds.contains(i)) pointObject(i);
    }
  }

  // The note of the track named `definitionName` at the object's place in its measure.
  std::optional<NoteRef> claimNote(const std::string& definitionName, const OldObject& object) {
    if (object.measure < 0 || static_cast<std::size_t>(object.measure) >= grid_.measures.size()) return std::nullopt;
    const Measure& measure = grid_.measures[static_cast<std::size_t>(object.measure)];
    return claims_.claim(definitionName, measure.startTick, int64_t{measure.startTick} + measure.length - 1,
                         [&](const ChartNote& note) {
                           return note.measureIndex == object.measure &&
                                  int64_t{note.position} * object.slots == int64_t{object.slot} * note.resolution;
                         });
  }

  void pointObject(std::size_t index) {
    const OldObject& object = objects_[index];
    const auto sound = definitions_.soundOfId.find(object.id);
    if (sound == definitions_.soundOfId.end()) return;
    const auto end = endOfStart_.find(index);
    const int32_t objects = end == endOfStart_.end() ? 1 : 2;
    kept_.laneObjects += objects;
    const std::optional<NoteRef> note = claimNote(sound->second, object);
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
    KeptLine& line = keptLines_[object.line];
    setSlot(line.data, object.slot, kEmptySlot);
    line.dropped = allEmpty(line.data);
  }

  void writeMovedIds(const IdShift& shift) {
    for (const auto& [index, ref] : moved_) {
      const OldObject& object = objects_[index];
      setSlot(keptLines_[object.line].data, object.slot, toBase36(shift(claims_.note(ref).wav)));
    }
  }

  // The new chart's text with the author's lines: the header values the author changed in place,
  // the author's lines from before the first channel line after the definitions, the others after
  // the new chart's channel lines.
  std::string assemble(const std::string& text) {
    std::string before;
    std::string after;
    for (const KeptLine& line : keptLines_) {
      if (!line.dropped) (line.beforeChannels ? before : after) += line.text + line.data + "\n";
    }
    std::string merged;
    bool inserted = false;
    for (const std::string_view line : textLines(text)) {
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
    for (const std::string_view line : textLines(text)) {
      std::string copy(line);
      if (const int32_t id = definitionIdOf(headerLineOf(line), kWavCommand); id > 0) {
        copy.replace(kWavCommand.size(), 2, toBase36(shift(id)));
      } else if (const std::optional<ChannelLineText> channel = channelLineOf(line);
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
  const MeasureGrid& grid_;
  NoteClaims claims_;
  ChartWorkKept kept_;
  std::vector<KeptLine> keptLines_;
  std::vector<OldObject> objects_;
  std::map<std::size_t, std::size_t> endOfStart_;  // a long note's start object → its end object
  std::vector<std::pair<std::size_t, NoteRef>> moved_;
  std::map<std::string, std::string> fixedValues_;
};

}  // namespace

ChartHeader chartHeaderTexts(std::string_view chartText) {
  ChartHeader texts{"", "", ""};
  for (const std::string_view line : textLines(chartText)) {
    const HeaderLine header = headerLineOf(trimmedLine(line));
    if (header.command == kHeaderTextCommands[0]) texts.genre = header.value;
    if (header.command == kHeaderTextCommands[1]) texts.title = header.value;
    if (header.command == kHeaderTextCommands[2]) texts.artist = header.value;
  }
  return texts;
}

Result<MergedChart> mergeBmsChart(std::string_view oldText, Chart chart, const Song& song, const MeasureGrid& grid,
                                  const ChartHeader& header, std::span<const std::string> soundNames) {
  return ChartMerger(oldText, std::move(chart), grid, soundNames).merge(song, header);
}

}  // namespace rendlow
