#include "bms/chart_building.h"

#include <algorithm>

#include "base/integer_math.h"

namespace rendlow {

namespace {

// Calls `visit(note, event)` for each chain head of a sliced track with its note-on as read: the
// notes are in note-on order, one per note-on of the events as read. Members of a chord or legato
// chain sound with their head's object.
template <typename Visit>
void forEachHead(const MidiTrack& source, const SlicedTrack& sliced, Visit visit) {
  auto nextNote = sliced.notes.begin();
  for (const MidiEvent& event : source.events) {
    if (!event.startsNote() || nextNote == sliced.notes.end()) continue;
    const Note& note = *nextNote++;
    if (note.isHead()) visit(note);
  }
}

// Calls `visit(event, tempo)` for each tempo change a track holds.
template <typename Visit>
void forEachTempoChange(const Song& song, const MidiTrack& source, Visit visit) {
  for (const MidiEvent& event : source.events) {
    if (event.isMeta(kMetaTempo) && event.tempo != kNone)
      visit(event, song.tempos[static_cast<std::size_t>(event.tempo)]);
  }
}

// Where `tick` lies on the grid. Past the grid's last measure (only a grid of kMaxMeasures ends
// before an object) the object stands in the measure after it, and the chart is refused for its
// length.
ChartPosition positionOf(int32_t tick, MeasureCursor& cursor, const MeasureGrid& grid) {
  ChartPosition at;
  at.tick = tick;
  const Measure* measure = cursor.measureFor(tick);
  if (!measure) {
    at.measureIndex = static_cast<int32_t>(grid.measures.size());
    return at;
  }
  at.measureIndex = measure->index;
  const Placement placement = placeInMeasure(*measure, tick);
  at.position = placement.position;
  at.resolution = placement.resolution;
  return at;
}

ChartNote placeNote(const Note& note, int32_t firstWav, MeasureCursor& cursor, const MeasureGrid& grid) {
  ChartNote object{positionOf(note.tick, cursor, grid)};
  object.wav = clampToInt32(int64_t{note.definition} + firstWav);
  object.fileNumber = clampToInt32(int64_t{note.sound} + 1);
  object.voice = note.voice;
  object.pitch = note.pitch;
  return object;
}

}  // namespace

TrackDefinitions definitionsOf(const SlicedTrack& sliced, const TrackSettings& settings) {
  TrackDefinitions definitions;
  definitions.gap = std::max(settings.wavDefinitionGap, 0);
  for (const Note& note : sliced.notes) {
    if (!note.isHead()) continue;
    definitions.placesNote = true;
    definitions.maxDefinition = std::max(definitions.maxDefinition, note.definition);
  }
  return definitions;
}

std::vector<int32_t> assignFirstWavIds(std::span<const TrackDefinitions> tracks) {
  std::vector<int32_t> firstIds;
  firstIds.reserve(tracks.size());
  int32_t next = 1;
  for (const TrackDefinitions& track : tracks) {
    firstIds.push_back(next);
    if (track.placesNote) next = clampToInt32(int64_t{next} + 1 + track.gap + track.maxDefinition);
  }
  return firstIds;
}

int32_t lastObjectTick(const Song& song, std::span<const std::size_t> tracks,
                       std::span<const SlicedTrack> sliced) {
  int32_t last = -1;
  for (const std::size_t track : tracks) {
    const MidiTrack& source = song.tracks[track];
    forEachHead(source, sliced[track], [&](const Note& note) { last = std::max(last, note.tick); });
    forEachTempoChange(song, source,
                       [&](const MidiEvent& event, const Tempo&) { last = std::max(last, event.tick); });
  }
  return last;
}

ChartTrack buildChartTrack(const Song& song, std::size_t track, const SlicedTrack& sliced,
                           const TrackSettings& settings, const MeasureGrid& grid, int32_t firstWav) {
  const MidiTrack& source = song.tracks[track];
  ChartTrack chart;
  chart.track = static_cast<int32_t>(track);
  chart.firstWav = firstWav;
  chart.definitionName = settings.definitionName;
  chart.maxPolyphony = source.maxPolyphony;
  chart.splitMethod = settings.splitMethod;
  chart.notes.reserve(static_cast<std::size_t>(std::count_if(
      sliced.notes.begin(), sliced.notes.end(), [](const Note& note) { return note.isHead(); })));
  MeasureCursor cursor(grid);
  forEachHead(source, sliced, [&](const Note& note) {
    chart.notes.push_back(placeNote(note, firstWav, cursor, grid));
    chart.maxDefinition = std::max(chart.maxDefinition, note.definition);
  });
  return chart;
}

std::vector<ChartTempo> placeTempoChanges(const Song& song, std::span<const std::size_t> tracks,
                                          const MeasureGrid& grid) {
  std::vector<ChartTempo> placed;
  for (const std::size_t track : tracks) {
    MeasureCursor cursor(grid);
    forEachTempoChange(song, song.tracks[track], [&](const MidiEvent& event, const Tempo& tempo) {
      ChartTempo object{positionOf(event.tick, cursor, grid)};
      object.bpm = tempo.bpm;
      object.tempoIndex = tempo.index;
      placed.push_back(object);
    });
  }
  return placed;
}

Chart buildChart(const Song& song, std::span<const std::size_t> tracks, std::span<const SlicedTrack> sliced,
                 std::span<const TrackSettings> settings, const MeasureGrid& grid) {
  std::vector<TrackDefinitions> definitions;
  for (const std::size_t track : tracks) definitions.push_back(definitionsOf(sliced[track], settings[track]));
  const std::vector<int32_t> firstWavIds = assignFirstWavIds(definitions);
  Chart chart;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const std::size_t track = tracks[i];
    chart.tracks.push_back(
        buildChartTrack(song, track, sliced[track], settings[track], grid, firstWavIds[i]));
  }
  chart.tempos = placeTempoChanges(song, tracks, grid);
  return chart;
}

}  // namespace rendlow
