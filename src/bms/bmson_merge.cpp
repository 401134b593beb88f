#include "bms/bmson_merge.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "bms/bmson_writer.h"
#include "bms/json.h"
#include "bms/note_claims.h"

namespace rendlow {

namespace {

// The info fields the settings hold, as ChartHeader names them.
constexpr std::array<std::pair<std::string_view, std::string ChartHeader::*>, 3> kHeaderTextFields = {
    {{"genre", &ChartHeader::genre}, {"title", &ChartHeader::title}, {"artist", &ChartHeader::artist}}};
// The info fields the song decides.
constexpr std::array<std::string_view, 2> kSongInfoFields = {"init_bpm", "resolution"};
constexpr std::string_view kBgaField = "bga";

template <std::size_t N>
bool isOneOf(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool isHeaderTextField(std::string_view name) {
  return std::any_of(kHeaderTextFields.begin(), kHeaderTextFields.end(),
                     [&](const auto& field) { return field.first == name; });
}

// The entries of a bga field: its header's pictures and its events of every layer.
int32_t bgaEntries(const JsonValue& bga) {
  int32_t entries = 0;
  for (const JsonMember& member : bga.members) entries += static_cast<int32_t>(member.value.items.size());
  return entries;
}

// A note the author placed in a lane: x is a lane from 1, where 0 (or none) is the background.
bool isLaneNote(const JsonValue& note) {
  const JsonValue* x = note.isObject() ? note.member("x") : nullptr;
  const std::optional<double> lane = x ? jsonNumber(*x) : std::nullopt;
  return lane && *lane > 0;
}

// Where a note of the new chart stands in its sound_channels: the channel, and its place there.
struct NotePlace {
  std::size_t channel = 0;
  std::size_t note = 0;
};

// The places of every note of every track, as the writer lays out the channels: one per id of a
// track holding its notes in order, tracks in order and each track's ids in order.
std::vector<std::vector<NotePlace>> notePlacesOf(const Chart& chart) {
  std::vector<std::vector<NotePlace>> places;
  std::size_t channel = 0;
  for (const ChartTrack& track : chart.tracks) {
    std::vector<NotePlace>& trackPlaces = places.emplace_back(track.notes.size());
    for (const std::vector<std::size_t>& notes : soundChannelNotes(track)) {
      for (std::size_t i = 0; i < notes.size(); ++i) trackPlaces[notes[i]] = {channel, i};
      ++channel;
    }
  }
  return places;
}

class BmsonMerger {
public:
  BmsonMerger(const Chart& chart, const MeasureGrid& grid, std::span<const std::string> soundNames,
              JsonValue chartDoc)
      : grid_(grid),
        soundNames_(soundNames),
        doc_(std::move(chartDoc)),
        places_(notePlacesOf(chart)),
        claims_(chart) {}

  void keepInfo(const JsonValue& oldInfo) {
    JsonValue* info = doc_.member("info");
    for (const JsonMember& field : oldInfo.members) {
      if (isHeaderTextField(field.key))
        keepHeaderText(*info, field);
      else if (!isOneOf(kSongInfoFields, field.key))
        keepValue(*info, field, 1, kept_.headerLines);
    }
  }

  void keepFields(const JsonValue& old) {
    for (const JsonMember& field : old.members) {
      if (isOneOf(kBmsonProgramFields, field.key)) continue;
      if (field.key == kBgaField)
        keepValue(doc_, field, field.value.isObject() ? bgaEntries(field.value) : 0, kept_.bgaLines);
      else
        keepValue(doc_, field, 1, kept_.headerLines);
    }
  }

  void keepChannels(const JsonValue& oldChannels) {
    for (const JsonValue& channel : oldChannels.items) {
      const JsonValue* name = channel.isObject() ? channel.member("name") : nullptr;
      const std::optional<std::string> file = name ? jsonStringText(*name) : std::nullopt;
      const std::optional<std::string> definition =
          file ? definitionNameOfSoundFile(*file, soundNames_) : std::nullopt;
      if (!definition) {
        keepAuthorsChannel(channel);
        continue;
      }
      const JsonValue* notes = channel.member("notes");
      if (!notes) continue;
      for (const JsonValue& note : notes->items)
        if (isLaneNote(note)) keepLaneNote(*definition, note);
    }
  }

  MergedChart merged() {
    kept_.splitNotesInBackground = claims_.unclaimedBesideClaimed();
    return {formatJson(doc_), kept_};
  }

private:
  // The member's value where the chart holds another, counted in `counter`.
  void keepValue(JsonValue& into, const JsonMember& field, int32_t count, int32_t& counter) {
    JsonValue* current = into.member(field.key);
    if (current && *current == field.value) return;
    if (current)
      *current = field.value;
    else
      into.members.push_back(field);
    counter += count;
  }

  // A text the settings leave empty keeps the chart's, so a title typed in an editor is never blanked.
  void keepHeaderText(JsonValue& info, const JsonMember& field) {
    JsonValue* current = info.member(field.key);
    if (!current || !current->text.empty() || field.value.kind != JsonValue::Kind::String ||
        field.value.text.empty())
      return;
    *current = field.value;
  }

  // A sound of the author's own, kept with its notes after the program's.
  void keepAuthorsChannel(const JsonValue& channel) {
    doc_.member("sound_channels")->items.push_back(channel);
    kept_.headerLines++;
  }

  void keepLaneNote(const std::string& definition, const JsonValue& note) {
    kept_.laneObjects++;
    const JsonValue* y = note.member("y");
    const std::optional<long long> tick = y ? jsonInteger(*y) : std::nullopt;
    const std::optional<NoteRef> claimed = tick ? claims_.claim(definition, *tick, *tick) : std::nullopt;
    if (!claimed) return leaveOut(note, tick.value_or(0));
    kept_.moved++;
    const NotePlace& place = places_[claimed->track][claimed->note];
    doc_.member("sound_channels")->items[place.channel].member("notes")->items[place.note] = note;
  }

  // Listed by its measure, its lane as "x=N", and its tick in the measure of the measure's ticks.
  void leaveOut(const JsonValue& note, long long tick) {
    LeftOutObject object{0, "x=" + note.member("x")->text, static_cast<int32_t>(tick), 1};
    const auto after =
        std::upper_bound(grid_.measures.begin(), grid_.measures.end(), tick,
                         [](long long t, const Measure& measure) { return t < measure.startTick; });
    if (after != grid_.measures.begin()) {
      const Measure& measure = *std::prev(after);
      object = {measure.index, object.channel, static_cast<int32_t>(tick - measure.startTick),
                measure.length};
    }
    kept_.leftOut.push_back(std::move(object));
  }

  const MeasureGrid& grid_;
  std::span<const std::string> soundNames_;
  JsonValue doc_;
  std::vector<std::vector<NotePlace>> places_;
  NoteClaims claims_;
  ChartWorkKept kept_;
};

}  // namespace

ChartHeader bmsonHeaderTexts(std::string_view chartText) {
  ChartHeader texts{"", "", ""};
  const std::optional<JsonValue> doc = parseJson(chartText);
  const JsonValue* info = doc && doc->isObject() ? doc->member("info") : nullptr;
  if (!info) return texts;
  for (const auto& [name, field] : kHeaderTextFields) {
    const JsonValue* value = info->member(name);
    const std::optional<std::string> text = value ? jsonStringText(*value) : std::nullopt;
    // The settings hold the program's texts; one code page 932 cannot hold stays in the chart alone.
    if (const std::optional<std::string> program = text ? programTextFromUtf8(*text) : std::nullopt)
      texts.*field = *program;
  }
  return texts;
}

MergedChart mergeBmsonChart(std::string_view oldText, const Chart& chart, const Song& song,
                            const MeasureGrid& grid, const ChartHeader& header,
                            std::span<const std::string> soundNames) {
  std::string fresh = formatBmsonChart(song, grid, chart, header);
  const std::optional<JsonValue> old = parseJson(oldText);
  std::optional<JsonValue> made = parseJson(fresh);
  if (!old || !old->isObject() || !made) return {std::move(fresh), {}};
  // The writer's layout is formatJson's, so a chart holding nothing of the author's comes out as
  // the writer wrote it.
  BmsonMerger merger(chart, grid, soundNames, std::move(*made));
  if (const JsonValue* info = old->member("info"); info && info->isObject()) merger.keepInfo(*info);
  merger.keepFields(*old);
  if (const JsonValue* channels = old->member("sound_channels"); channels && channels->isArray())
    merger.keepChannels(*channels);
  return merger.merged();
}

}  // namespace rendlow
