#include "bms/bms_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "bms/chart_limits.h"
#include "bms/chart_lines.h"
#include "bms/measure_grid.h"

namespace rendlow {

namespace {

// The MIDI default tempo, for a song that never sets one.
constexpr float kDefaultBpm = 120.0f;

// Formats one whole line, however long: a fixed buffer would cut long names.
__attribute__((format(printf, 2, 3))) void appendFormatted(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size > 0) {
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size) + 1);
    std::vsnprintf(out.data() + start, static_cast<std::size_t>(size) + 1, format, args);
    out.resize(start + static_cast<std::size_t>(size));
  }
  va_end(args);
}

void writeHeader(const Project& project, std::string& out) {
  const float firstBpm = project.tempos.empty() ? kDefaultBpm : chartBpmValue(project.tempos.front()->bpm);
  appendFormatted(out, "#PLAYER %d\n", 1);
  appendFormatted(out, "#GENRE %s\n", project.genre.c_str());
  appendFormatted(out, "#TITLE %s\n", project.title.c_str());
  appendFormatted(out, "#ARTIST %s\n", project.artist.c_str());
  appendFormatted(out, "#BPM %f\n", static_cast<double>(firstBpm));
  appendFormatted(out, "#PLAYLEVEL %d\n", 1);
  appendFormatted(out, "#RANK %d\n", 100);
  appendFormatted(out, "#TOTAL %d\n", 100);
  out += "\n\n";
}

void writeBpmDefinitions(const Project& project, std::string& out) {
  for (std::size_t i = 1; i < project.tempos.size(); ++i) {
    const Tempo& tempo = *project.tempos[i];
    appendFormatted(out, "#BPM%s %f\n", toBase36(tempo.index).c_str(),
                    static_cast<double>(chartBpmValue(tempo.bpm)));
  }
  out += "\n";
}

// Tempo changes are collected track by track; the forward cursor needs them in time order.
void sortBpmsByTick(ChartBpmList& bpms) {
  std::stable_sort(bpms.begin(), bpms.end(), [](const auto& a, const auto& b) { return a->tick < b->tick; });
}

// A track that placed notes has at least one lane, even when stray note-offs kept its
// polyphony count at 0.
int32_t laneCount(const BMSTrack& track) {
  if (track.notes.empty()) return 0;
  const auto source = track.track.lock();
  return std::max(source ? source->maxPolyphony : 0, 1);
}

bool writesLanes(const BMSTrack& track) {
  const auto source = track.track.lock();
  return source && source->settings.splitMethod == static_cast<int32_t>(SplitMethod::Single);
}

LineObject lineObject(const BMSNoteBase& object, int32_t id) {
  return LineObject{object.position, object.resolution, id};
}

void writeNoteLines(const BMSTrack& track, const std::vector<const BMSNote*>& notes, std::string& out,
                    int32_t m, LineBudget& budget) {
  const int32_t lanes = laneCount(track);
  const bool byLane = writesLanes(track);
  for (int32_t lane = 0; lane < (byLane ? lanes : 1); ++lane) {
    std::vector<LineObject> objects;
    for (const BMSNote* note : notes) {
      // A voice below 0 (after stray note-offs) or past the lanes still needs a lane.
      if (byLane && std::clamp(note->voice, 0, lanes - 1) != lane) continue;
      objects.push_back(lineObject(*note, note->wav));
    }
    if (!appendChannelLines(out, m, kChannelBackground, objects, budget)) return;
  }
}

// A lane without objects in the measure still has its line, "00" alone.
void writeEmptyLines(const BMSTrack& track, std::string& out, int32_t m, LineBudget& budget) {
  const int32_t lanes = laneCount(track);
  const int32_t lines = writesLanes(track) ? lanes : std::min(lanes, 1);
  for (int32_t i = 0; i < lines; ++i) {
    if (!appendChannelLines(out, m, kChannelBackground, {}, budget)) return;
  }
}

// Past the grid (the closing block) the line follows the time signatures in effect at tick 0,
// starting from 4/4; one the grid cannot use counts as 4/4 here too.
bool beyondGridRatio(const Project& project, int32_t& numerator, int32_t& denominator) {
  numerator = 4;
  denominator = 4;
  const Beat* inEffect = nullptr;
  for (const auto& beat : project.beats) {
    if (beat->tick > 0) break;
    inEffect = beat.get();
  }
  if (project.beats.empty() || !inEffect) return false;
  if (measureLength(inEffect, project.header.division) == 4 * int32_t{project.header.division}) return false;
  numerator = inEffect->numerator;
  denominator = inEffect->denominator;
  return numerator != denominator;
}

}  // namespace

float chartBpmValue(float bpm) { return std::roundf(bpm * 100.0f) / 100.0f; }

void writeWavDefinitions(BMSTrack& track, std::string& out) {
  if (track.notes.empty()) return;
  std::vector<int32_t> fileNumbers(static_cast<std::size_t>(track.maxDefinition) + 1, -1);
  for (const auto& note : track.notes) {
    const int32_t definition = note->wav - track.firstWav;
    if (definition >= 0 && definition <= track.maxDefinition) {
      fileNumbers[static_cast<std::size_t>(definition)] = note->fileNumber;
    }
  }
  const auto source = track.track.lock();
  const std::string name = source ? source->settings.definitionName : std::string();
  for (int32_t d = 0; d <= track.maxDefinition; ++d) {
    appendFormatted(out, "#WAV%s %s_%02d.wav\n", toBase36(track.firstWav + d).c_str(), name.c_str(),
                    fileNumbers[static_cast<std::size_t>(d)]);
  }
  track.cursor = 0;
  track.done = false;
}

bool writeMeasureLines(BMSTrack& track, std::string& out, int32_t m, LineBudget& budget) {
  const bool atEnd = track.done || track.cursor >= track.notes.size();
  const int32_t next = atEnd ? 0 : track.notes[track.cursor]->measureIndex;
  bool wrote = false;
  if (!track.done && next <= m) {
    std::vector<const BMSNote*> notes;
    for (; track.cursor < track.notes.size(); ++track.cursor) {
      const BMSNote& note = *track.notes[track.cursor];
      if (note.measureIndex > m) break;
      if (note.measureIndex == m) notes.push_back(&note);
    }
    if (laneCount(track) > 0) {
      writeNoteLines(track, notes, out, m, budget);
      wrote = true;
    }
    if (track.cursor >= track.notes.size()) track.done = true;
  }
  if (!wrote) writeEmptyLines(track, out, m, budget);
  return wrote || next > m;
}

void writeBpmLine(const ChartBpmList& chartBpms, std::size_t& cursor, std::string& out, int32_t m,
                  LineBudget& budget) {
  if (cursor >= chartBpms.size() || chartBpms[cursor]->measureIndex > m) return;
  std::vector<LineObject> objects;
  for (; cursor < chartBpms.size(); ++cursor) {
    const BMSBPM& bpm = *chartBpms[cursor];
    if (bpm.measureIndex > m) break;
    if (bpm.measureIndex == m) objects.push_back(lineObject(bpm, bpm.tempoIndex));
  }
  appendChannelLines(out, m, kChannelTempo, objects, budget);
}

ChartText formatBmsChart(Project& project) {
  if (auto breach = chartLimitBreach(project)) return {{}, std::move(breach)};
  std::string out;
  writeHeader(project, out);
  writeBpmDefinitions(project, out);
  for (const auto& track : project.chartTracks) writeWavDefinitions(*track, out);
  out += "\n\n";
  sortBpmsByTick(project.chartBpms);
  // The first tempo is the header's "#BPM"; the channel starts with the second.
  std::size_t bpmCursor = project.chartBpms.size() >= 2 ? 1 : project.chartBpms.size();
  LineBudget budget;
  for (int32_t m = 0;; ++m) {
    writeBpmLine(project.chartBpms, bpmCursor, out, m, budget);
    writeMeasureLengthLine(project, out, m);
    bool unfinished = false;
    for (const auto& track : project.chartTracks)
      unfinished = writeMeasureLines(*track, out, m, budget) || unfinished;
    if (budget.breach()) return {{}, budget.breach()};
    out += "\n";
    if (!unfinished) break;
  }
  return {std::move(out), std::nullopt};
}

void writeMeasureLengthLine(const Project& project, std::string& out, int32_t m) {
  const int32_t wholeNote = 4 * int32_t{project.header.division};
  float ratio = 0.0f;
  if (m >= 0 && static_cast<std::size_t>(m) < project.measures.size()) {
    // The grid decides the measure's length, so the line says what the grid holds.
    const int32_t length = project.measures[static_cast<std::size_t>(m)]->length;
    if (length == wholeNote) return;
    ratio = static_cast<float>(length) / static_cast<float>(wholeNote);
  } else {
    int32_t numerator = 0;
    int32_t denominator = 0;
    if (!beyondGridRatio(project, numerator, denominator)) return;
    ratio = static_cast<float>(numerator) / static_cast<float>(denominator);
  }
  appendFormatted(out, "#%03d02: %f\n", m, static_cast<double>(ratio));
}

WriteStatus writeBmsFile(Project& project, const std::string& path) {
  const ChartText chart = formatBmsChart(project);
  if (chart.refusal) return WriteStatus::failed(*chart.refusal);
  return writeFileAtomically(path, chart.text, FileMode::Text);
}

}  // namespace rendlow
