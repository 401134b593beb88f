#include "bms/chart_building.h"

#include <algorithm>
#include <limits>

#include "bms/measure_grid.h"
#include "slicer/note.h"

namespace rendlow {

namespace {

// Ids far beyond what a chart can hold are refused later as a whole; here they only must not
// overflow.
int32_t saturatingSum(int64_t a, int64_t b) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(a + b, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Puts the object into the measure holding `tick`. Past the largest grid the object stays
// unplaced, beyond every measure the grid has, and the chart is refused for its length.
void place(BMSNoteBase& object, int32_t tick, MeasureCursor& cursor, const Project& project) {
  object.tick = tick;
  const auto measure = cursor.measureFor(tick);
  if (!measure) {
    object.measureIndex = static_cast<int32_t>(project.measures.size());
    return;
  }
  object.measure = measure;
  object.measureIndex = measure->index;
  const Placement placement = placeInMeasure(*measure, tick);
  object.position = placement.position;
  object.resolution = placement.resolution;
}

std::shared_ptr<BMSNote> placeNote(const Note& note, int32_t firstWav, MeasureCursor& cursor,
                                   const Project& project) {
  auto object = std::make_shared<BMSNote>();
  place(*object, note.noteOn->tick, cursor, project);
  object->wav = saturatingSum(note.definition, firstWav);
  object->fileNumber = saturatingSum(note.sound, 1);
  object->voice = note.voice;
  return object;
}

std::shared_ptr<BMSBPM> placeTempo(const MidiEvent& event, const Tempo& tempo, MeasureCursor& cursor,
                                   const Project& project) {
  auto object = std::make_shared<BMSBPM>();
  place(*object, event.tick, cursor, project);
  object->bpm = tempo.bpm;
  object->tempoIndex = tempo.index;
  return object;
}

}  // namespace

std::shared_ptr<BMSTrack> buildChartTrack(const std::shared_ptr<MidiTrack>& track, Project& project,
                                          int32_t& nextWavId) {
  auto chart = std::make_shared<BMSTrack>();
  chart->track = track;
  chart->firstWav = nextWavId;
  MeasureCursor cursor(project);
  bool notePlaced = false;
  for (const auto& event : track->originalEvents) {
    const auto note = event->note.lock();
    if (note && note->noteOn && event->startsNote()) {
      // Members of a chord or legato chain sound with their head's object.
      if (!note->isHead()) continue;
      chart->notes.push_back(placeNote(*note, nextWavId, cursor, project));
      chart->maxDefinition = std::max(chart->maxDefinition, note->definition);
      notePlaced = true;
      continue;
    }
    const auto tempo = event->isMeta(kMetaTempo) ? event->tempo.lock() : nullptr;
    if (tempo) project.chartBpms.push_back(placeTempo(*event, *tempo, cursor, project));
  }
  if (notePlaced) {
    // A negative gap would let the next track's ids overlap this track's.
    const int32_t gap = std::max(track->settings.wavDefinitionGap, 0);
    nextWavId = saturatingSum(saturatingSum(nextWavId, 1), int64_t{gap} + chart->maxDefinition);
  }
  return chart;
}

}  // namespace rendlow
