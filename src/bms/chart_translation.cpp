#include "bms/chart_translation.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <map>
#include <numeric>
#include <optional>
#include <vector>

#include "base/platform.h"
#include "bms/bmson_merge.h"
#include "bms/bmson_writer.h"
#include "bms/chart_format.h"
#include "bms/chart_merge.h"
#include "bms/chart_text.h"
#include "bms/json.h"
#include "bms/note_claims.h"

namespace rendlow {

namespace {

// The playable lanes both formats have: a ".bme" key channel and the lane "x" a beat-7k bmson chart
// plays it on, keys 1 to 7 and the scratch of each side.
constexpr std::array<std::pair<int, int>, 16> kLanes = {{{11, 1},
                                                         {12, 2},
                                                         {13, 3},
                                                         {14, 4},
                                                         {15, 5},
                                                         {18, 6},
                                                         {19, 7},
                                                         {16, 8},
                                                         {21, 9},
                                                         {22, 10},
                                                         {23, 11},
                                                         {24, 12},
                                                         {25, 13},
                                                         {28, 14},
                                                         {29, 15},
                                                         {26, 16}}};
// A key channel's long notes: 51 for 11.
constexpr int kLongNoteChannelOffset = 40;

// Header values the program writes itself, today or in earlier versions: nothing of the author's.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kProgramHeaderValues = {
    {{"#PLAYER", "1"}, {"#RANK", "2"}, {"#RANK", "100"}, {"#TOTAL", "100"}}};
constexpr std::string_view kLevelCommand = "#PLAYLEVEL";

// The info fields and their values the program writes itself, and those that cross as header lines.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kProgramInfoValues = {
    {{"mode_hint", "beat-7k"}, {"judge_rank", "100"}, {"total", "100"}}};
constexpr std::array<std::string_view, 6> kCrossingInfoFields = {"title",    "artist",   "genre",
                                                                 "level",    "init_bpm", "resolution"};

template <typename List, typename Item>
bool contains(const List& list, const Item& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::optional<int> laneOfChannel(int channel) {
  for (const auto& [key, lane] : kLanes)
    if (key == channel) return lane;
  return std::nullopt;
}

std::optional<int> channelOfLane(long long lane) {
  for (const auto& [key, x] : kLanes)
    if (x == lane) return key;
  return std::nullopt;
}

std::optional<int> integerOf(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// An object both formats hold: at its tick, in a lane (0: the background), held `length` ticks
// when it is a long note.
struct LaneObject {
  int64_t tick = 0;
  long long lane = 0;
  int64_t length = 0;
};

// One sound with its objects, named by its file.
struct SoundObjects {
  std::string file;
  bool program = false;  // one of the program's sounds, whose background is the new chart's
  std::vector<LaneObject> objects;
};

// ---- ".bme" to bmson

class BmsReading {
public:
  BmsReading(const MeasureGrid& grid, std::span<const std::string> soundNames)
      : grid_(grid), soundNames_(soundNames) {}

  void read(std::string_view text) {
    for (const std::string_view whole : textLines(text)) {
      const std::string_view line = trimmedLine(whole);
      if (line.empty()) continue;
      if (const std::optional<ChannelLineText> channel = channelLineOf(line))
        readChannel(*channel);
      else
        readHeader(headerLineOf(line));
    }
    closeLongNotes();
  }

  TranslatedChart bmson(const ChartHeader& texts) const {
    std::string info = "{\"title\": " + bmsonString(texts.title) + ", \"artist\": " + bmsonString(texts.artist) +
                       ", \"genre\": " + bmsonString(texts.genre);
    if (level_) info += ", \"level\": " + std::to_string(*level_);
    std::string channels;
    for (const auto& [id, sound] : sounds_) {
      if (sound.objects.empty()) continue;
      channels += std::string(channels.empty() ? "" : ", ") + "{\"name\": " + bmsonString(sound.file) +
                  ", \"notes\": [" + notesOf(sound) + "]}";
    }
    return {"{\"version\": \"1.0.0\", \"info\": " + info + "}, \"sound_channels\": [" + channels + "]}\n",
            notCarried_};
  }

private:
  void readHeader(const HeaderLine& header) {
    if (const int32_t id = definitionIdOf(header, kWavCommand); id >= 0) {
      const std::string file(header.value);
      sounds_[id] = {file, definitionNameOfSoundFile(file, soundNames_).has_value(), {}};
      return;
    }
    if (header.command == kBpmCommand || definitionIdOf(header, kBpmCommand) >= 0 ||
        contains(kHeaderTextCommands, header.command) ||
        contains(kProgramHeaderValues, std::pair<std::string_view, std::string_view>{header.command, header.value}))
      return;
    if (header.command == kLevelCommand && (level_ = integerOf(header.value))) return;
    notCarried_++;
  }

  void readChannel(const ChannelLineText& line) {
    const int number = channelNumber(line.channel);
    if (number == kChannelMeasureLength || number == kChannelHexTempo || number == kChannelTempo) return;
    const auto slots = static_cast<int32_t>(line.data.size() / 2);
    for (int32_t slot = 0; slot < slots; ++slot) {
      const int32_t id = base36Id(line.data.substr(static_cast<std::size_t>(slot) * 2, 2));
      if (id > 0) readObject(line, number, id, tickOf(line.measure, slot, slots));
    }
  }

  void readObject(const ChannelLineText& line, int number, int32_t id, std::optional<int64_t> tick) {
    const auto sound = sounds_.find(id);
    const std::optional<int> lane = laneOfChannel(number);
    const std::optional<int> longLane = laneOfChannel(number - kLongNoteChannelOffset);
    if (number == kChannelBackground && sound != sounds_.end() && sound->second.program) return;
    if (!tick || sound == sounds_.end() || (number != kChannelBackground && !lane && !longLane)) {
      notCarried_++;
      return;
    }
    if (longLane) return openOrClose(line.channel, id, *tick, *longLane);
    sound->second.objects.push_back({*tick, lane.value_or(0), 0});
  }

  // A long note is its start and its end on one channel, in turn (#LNTYPE 1).
  void openOrClose(const std::string& channel, int32_t id, int64_t tick, int lane) {
    const auto open = openLongNotes_.find(channel);
    if (open == openLongNotes_.end()) {
      openLongNotes_[channel] = {id, {tick, lane, 0}};
      return;
    }
    LaneObject start = open->second.second;
    start.length = std::max<int64_t>(tick - start.tick, 0);
    sounds_[open->second.first].objects.push_back(start);
    openLongNotes_.erase(open);
  }

  // A long note that never ends holds nothing a player can play.
  void closeLongNotes() {
    notCarried_ += static_cast<int32_t>(openLongNotes_.size());
    openLongNotes_.clear();
  }

  std::optional<int64_t> tickOf(int32_t measure, int32_t slot, int32_t slots) const {
    if (measure < 0 || static_cast<std::size_t>(measure) >= grid_.measures.size()) return std::nullopt;
    const Measure& m = grid_.measures[static_cast<std::size_t>(measure)];
    return m.startTick + int64_t{slot} * m.length / slots;
  }

  static std::string notesOf(const SoundObjects& sound) {
    std::vector<LaneObject> objects = sound.objects;
    std::stable_sort(objects.begin(), objects.end(),
                     [](const LaneObject& a, const LaneObject& b) { return a.tick < b.tick; });
    std::string notes;
    for (const LaneObject& object : objects) {
      notes += std::string(notes.empty() ? "" : ", ") + "{\"x\": " + std::to_string(object.lane) +
               ", \"y\": " + std::to_string(object.tick) + ", \"l\": " + std::to_string(object.length) +
               ", \"c\": false}";
    }
    return notes;
  }

  const MeasureGrid& grid_;
  std::span<const std::string> soundNames_;
  std::map<int32_t, SoundObjects> sounds_;
  std::map<std::string, std::pair<int32_t, LaneObject>> openLongNotes_;  // channel → its open start
  std::optional<int> level_;
  int32_t notCarried_ = 0;
};

// ---- bmson to ".bme"

// One object of a ".bme" channel line.
struct PlacedObject {
  int32_t measure = 0;
  int channel = 0;
  int64_t offset = 0;  // ticks into the measure
  int32_t length = 1;  // the measure's ticks
  int32_t id = 0;
};

// The entries a field of someone else's holds: a bga's pictures and events, an array's items, one
// for any other value; none for what the program itself writes empty.
int32_t entriesOf(const JsonValue& value) {
  if (value.isArray()) return static_cast<int32_t>(value.items.size());
  if (!value.isObject()) return 1;
  int32_t entries = 0;
  for (const JsonMember& member : value.members) entries += entriesOf(member.value);
  return entries;
}

class BmsonReading {
public:
  BmsonReading(const MeasureGrid& grid, std::span<const std::string> soundNames)
      : grid_(grid), soundNames_(soundNames) {}

  void read(const JsonValue& doc) {
    for (const JsonMember& field : doc.members) {
      if (field.key == "info" && field.value.isObject())
        readInfo(field.value);
      else if (field.key == "sound_channels" && field.value.isArray())
        for (const JsonValue& channel : field.value.items) readChannel(channel);
      else if (!contains(kBmsonProgramFields, field.key))
        notCarried_ += entriesOf(field.value);
    }
  }

  TranslatedChart bms(const ChartHeader& texts) {
    std::string text;
    for (const auto& [command, value] : {std::pair{kHeaderTextCommands[0], texts.genre},
                                         std::pair{kHeaderTextCommands[1], texts.title},
                                         std::pair{kHeaderTextCommands[2], texts.artist}}) {
      if (!value.empty()) text += std::string(command) + " " + value + "\n";
    }
    if (level_) text += std::string(kLevelCommand) + " " + std::to_string(*level_) + "\n";
    text += wavLines_;
    std::stable_sort(objects_.begin(), objects_.end(),
                     [](const PlacedObject& a, const PlacedObject& b) { return a.measure < b.measure; });
    for (const PlacedObject& object : objects_) text += channelLine(object);
    return {std::move(text), notCarried_};
  }

private:
  void readInfo(const JsonValue& info) {
    for (const JsonMember& field : info.members) {
      if (field.key == "level") {
        const std::optional<long long> level = jsonInteger(field.value);
        if (level && *level >= 0 && *level <= 99) level_ = static_cast<int>(*level);
        if (!level_) notCarried_++;
      } else if (!contains(kCrossingInfoFields, field.key) &&
                 !contains(kProgramInfoValues, std::pair<std::string_view, std::string_view>{
                                                   field.key, field.value.text})) {
        notCarried_++;
      }
    }
  }

  void readChannel(const JsonValue& channel) {
    const JsonValue* name = channel.isObject() ? channel.member("name") : nullptr;
    const JsonValue* notes = channel.isObject() ? channel.member("notes") : nullptr;
    const std::optional<std::string> utf8 = name ? jsonStringText(*name) : std::nullopt;
    const std::optional<std::string> file = utf8 ? programTextFromUtf8(*utf8) : std::nullopt;
    const bool program = file && definitionNameOfSoundFile(*file, soundNames_).has_value();
    const std::optional<int32_t> id = file ? nextId(program) : std::nullopt;
    if (!id || !notes || !notes->isArray()) {
      notCarried_ += notes ? static_cast<int32_t>(notes->items.size()) : 1;
      return;
    }
    wavLines_ += std::string(kWavCommand) + toBase36(*id) + " " + *file + "\n";
    for (const JsonValue& note : notes->items) readNote(note, *id, program);
  }

  // The program's sounds take ids from 01 up, the author's from ZZ down, so the new chart's ids
  // pass over the author's only where it needs nearly every id.
  std::optional<int32_t> nextId(bool program) {
    if (lowestFree_ > highestFree_) return std::nullopt;
    return program ? lowestFree_++ : highestFree_--;
  }

  void readNote(const JsonValue& note, int32_t id, bool program) {
    const std::optional<long long> x = memberInteger(note, "x", 0);
    const std::optional<long long> y = memberInteger(note, "y", std::nullopt);
    const std::optional<long long> l = memberInteger(note, "l", 0);
    if (x == 0 && program) return;  // the program's background: the new chart's
    if (!x || !y || !l || !placeNote(*x, *y, *l, id)) notCarried_++;
  }

  // A member that is a whole number, `absent` when the note has none; nothing for another value.
  static std::optional<long long> memberInteger(const JsonValue& note, std::string_view key,
                                                std::optional<long long> absent) {
    const JsonValue* value = note.isObject() ? note.member(key) : nullptr;
    return value ? jsonInteger(*value) : absent;
  }

  bool placeNote(long long x, long long y, long long l, int32_t id) {
    if (x == 0) return l == 0 && place(y, kChannelBackground, id);
    const std::optional<int> key = channelOfLane(x);
    if (!key || l < 0) return false;
    if (l == 0) return place(y, *key, id);
    if (!measureAt(y + l)) return false;
    return place(y, *key + kLongNoteChannelOffset, id) && place(y + l, *key + kLongNoteChannelOffset, id);
  }

  const Measure* measureAt(long long tick) const {
    const auto after = std::upper_bound(grid_.measures.begin(), grid_.measures.end(), tick,
                                        [](long long t, const Measure& measure) { return t < measure.startTick; });
    if (tick < 0 || after == grid_.measures.begin() || tick >= std::prev(after)->endTick()) return nullptr;
    return &*std::prev(after);
  }

  bool place(long long tick, int channel, int32_t id) {
    const Measure* measure = measureAt(tick);
    if (!measure) return false;
    objects_.push_back({measure->index, channel, tick - measure->startTick, measure->length, id});
    return true;
  }

  // "#mmmcc:" and the object alone in its measure, at its offset in the fewest slots that hold it.
  static std::string channelLine(const PlacedObject& object) {
    const int64_t common = std::gcd(object.offset, int64_t{object.length});
    const int64_t slots = object.length / common;
    std::string data(static_cast<std::size_t>(slots) * 2, '0');
    data.replace(static_cast<std::size_t>(object.offset / common) * 2, 2, toBase36(object.id));
    char start[8];
    std::snprintf(start, sizeof start, "#%03d%02d:", object.measure, object.channel);
    return start + data + "\n";
  }

  const MeasureGrid& grid_;
  std::span<const std::string> soundNames_;
  std::string wavLines_;
  std::vector<PlacedObject> objects_;
  std::optional<int> level_;
  int32_t lowestFree_ = 1;
  int32_t highestFree_ = kMaxChartId;
  int32_t notCarried_ = 0;
};

}  // namespace

TranslatedChart bmsonFromBmsChart(std::string_view bmsText, const MeasureGrid& grid,
                                  std::span<const std::string> soundNames) {
  BmsReading reading(grid, soundNames);
  reading.read(bmsText);
  return reading.bmson(chartHeaderTexts(bmsText));
}

TranslatedChart bmsChartFromBmson(std::string_view bmsonText, const MeasureGrid& grid,
                                  std::span<const std::string> soundNames) {
  const std::optional<JsonValue> doc = parseJson(bmsonText);
  if (!doc || !doc->isObject()) return {};
  BmsonReading reading(grid, soundNames);
  reading.read(*doc);
  return reading.bms(bmsonHeaderTexts(bmsonText));
}

}  // namespace rendlow
