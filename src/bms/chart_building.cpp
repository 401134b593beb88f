#include "bms/chart_building.h"

#include <algorithm>

#include "base/integer_math.h"

namespace rendlow {

namespace {

// Puts the object into the measure holding `tick`. Past the largest grid the object stays
// unplaced, beyond every measure the grid has, and the chart is refused for its length.
void place(BMSNoteBase& object, int32_t tick, MeasureCursor& cursor, const MeasureGrid& grid) {
  object.tick = tick;
  const Measure* measure = cursor.measureFor(tick);
  if (!measure) {
    object.measureIndex = static_cast<int32_t>(grid.measures.size());
    return;
  }
  object.measureIndex = measure->index;
  const Placement placement = placeInMeasure(*measure, tick);
  object.position = placement.position;
  object.resolution = placement.resolution;
}

BMSNote placeNote(const Note& note, int32_t firstWav, MeasureCursor& cursor, const MeasureGrid& grid) {
  BMSNote object;
  place(object, note.tick, cursor, grid);
  // Ids far beyond what a chart can hold are refused later as a whole; here they only must not
  // overflow.
  object.wav = clampToInt32(int64_t{note.definition} + firstWav);
  object.fileNumber = clampToInt32(int64_t{note.sound} + 1);
  object.voice = note.voice;
  return object;
}

BMSBPM placeTempo(const MidiEvent& event, const Tempo& tempo, MeasureCursor& cursor, const MeasureGrid& grid) {
  BMSBPM object;
  place(object, event.tick, cursor, grid);
  object.bpm = tempo.bpm;
  object.tempoIndex = tempo.index;
  return object;
}

}  // namespace

BMSTrack buildChartTrack(const Song& song, std::size_t track, const SlicedTrack& sliced,
                         const TrackSettings& settings, MeasureGrid& grid, std::vector<BMSBPM>& chartBpms,
                         int32_t& nextWavId) {
  const MidiTrack& source = song.tracks[track];
  BMSTrack chart;
  chart.track = static_cast<int32_t>(track);
  chart.firstWav = nextWavId;
  chart.definitionName = settings.definitionName;
  chart.maxPolyphony = source.maxPolyphony;
  chart.splitMethod = settings.splitMethod;
  chart.notes.reserve(static_cast<std::size_t>(std::count_if(
      sliced.notes.begin(), sliced.notes.end(), [](const Note& note) { return note.isHead(); })));
  MeasureCursor cursor(grid, song);
  // The notes are in note-on order, one per note-on of the events as read.
  auto nextNote = sliced.notes.begin();
  for (const MidiEvent& event : source.events) {
    if (event.startsNote() && nextNote != sliced.notes.end()) {
      const Note& note = *nextNote++;
      // Members of a chord or legato chain sound with their head's object.
      if (!note.isHead()) continue;
      chart.notes.push_back(placeNote(note, nextWavId, cursor, grid));
      chart.maxDefinition = std::max(chart.maxDefinition, note.definition);
      continue;
    }
    if (event.isMeta(kMetaTempo) && event.tempo != kNone)
      chartBpms.push_back(
          placeTempo(event, song.tempos[static_cast<std::size_t>(event.tempo)], cursor, grid));
  }
  if (!chart.notes.empty()) {
    // A negative gap would let the next track's ids overlap this track's.
    const int32_t gap = std::max(settings.wavDefinitionGap, 0);
    nextWavId = clampToInt32(int64_t{nextWavId} + 1 + gap + chart.maxDefinition);
  }
  return chart;
}

}  // namespace rendlow
