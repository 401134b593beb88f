#include "bms/bms_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/format.h"
#include "bms/chart_format.h"
#include "bms/chart_limits.h"
#include "bms/chart_lines.h"
#include "bms/measure_grid.h"
#include "slicer/track_settings.h"

namespace rendlow {

namespace {

// The MIDI default tempo, for a song that never sets one.
constexpr double kDefaultBpm = 120.0;

constexpr int kNormalJudgeRank = 2;

void writeHeader(const Song& song, const ChartHeader& header, std::string& out) {
  const double firstBpm = song.tempos.empty() ? kDefaultBpm : chartBpmValue(song.tempos.front());
  appendFormatted(out, "#PLAYER %d\n", 1);
  appendFormatted(out, "#GENRE %s\n", header.genre.c_str());
  appendFormatted(out, "#TITLE %s\n", header.title.c_str());
  appendFormatted(out, "#ARTIST %s\n", header.artist.c_str());
  appendFormatted(out, "#BPM %f\n", firstBpm);
  appendFormatted(out, "#PLAYLEVEL %d\n", 1);
  // The normal judge: players read 0 to 3 or 0 to 4 and fall back to their own default past that.
  appendFormatted(out, "#RANK %d\n", kNormalJudgeRank);
  appendFormatted(out, "#TOTAL %d\n", 100);
  out += "\n\n";
}

void writeBpmDefinitions(const Song& song, std::string& out) {
  for (std::size_t i = 1; i < song.tempos.size(); ++i) {
    const Tempo& tempo = song.tempos[i];
    appendFormatted(out, "#BPM%s %f\n", toBase36(tempo.index).c_str(), chartBpmValue(tempo));
  }
  out += "\n";
}

// A track that placed notes has at least one lane, even when stray note-offs kept its
// polyphony count at 0.
int32_t laneCount(const ChartTrack& track) { return track.notes.empty() ? 0 : std::max(track.maxPolyphony, 1); }

bool writesLanes(const ChartTrack& track) {
  return track.splitMethod == static_cast<int32_t>(SplitMethod::Single);
}

LineObject lineObject(const ChartPosition& object, int32_t id) {
  return {object.position, object.resolution, id};
}

// The #WAV lines of one track, one per id from firstWav to firstWav + maxDefinition, each naming
// the file of the sound its last note plays. A track without notes has none.
void writeWavDefinitions(const ChartTrack& track, std::string& out) {
  if (track.notes.empty()) return;
  std::vector<int32_t> fileNumbers(static_cast<std::size_t>(track.maxDefinition) + 1, -1);
  for (const ChartNote& note : track.notes) {
    const int32_t definition = note.wav - track.firstWav;
    if (definition >= 0 && definition <= track.maxDefinition)
      fileNumbers[static_cast<std::size_t>(definition)] = note.fileNumber;
  }
  for (int32_t d = 0; d <= track.maxDefinition; ++d) {
    out += wavDefinitionLine(track.firstWav + d,
                             soundFileName(track.definitionName, fileNumbers[static_cast<std::size_t>(d)]));
  }
}

Result<void> writeNoteLines(const ChartTrack& track, const std::vector<const ChartNote*>& notes, std::string& out,
                            int32_t m, LineBudget& budget) {
  const int32_t lanes = laneCount(track);
  const bool byLane = writesLanes(track);
  std::vector<LineObject> objects;
  for (int32_t lane = 0; lane < (byLane ? lanes : 1); ++lane) {
    objects.clear();
    for (const ChartNote* note : notes) {
      if (note->inLane) continue;
      // A voice below 0 (after stray note-offs) or past the lanes still needs a lane.
      if (byLane && std::clamp(note->voice, 0, lanes - 1) != lane) continue;
      objects.push_back(lineObject(*note, note->wav));
    }
    if (Result<void> appended = appendChannelLines(out, m, kChannelBackground, objects, budget); !appended)
      return appended;
  }
  return {};
}

// A lane without objects in the measure still has its line, "00" alone.
Result<void> writeEmptyLines(const ChartTrack& track, std::string& out, int32_t m, LineBudget& budget) {
  const int32_t lanes = laneCount(track);
  const int32_t lines = writesLanes(track) ? lanes : std::min(lanes, 1);
  for (int32_t i = 0; i < lines; ++i) {
    if (Result<void> appended = appendChannelLines(out, m, kChannelBackground, {}, budget); !appended)
      return appended;
  }
  return {};
}

// The track's background lines of measure m; true while the chart is not finished for it.
// `next` is where the writer stands in the track's notes, measure after measure.
Result<bool> writeMeasureLines(const ChartTrack& track, std::size_t& next, std::string& out, int32_t m,
                               LineBudget& budget) {
  const bool finished = next >= track.notes.size();
  if (finished || track.notes[next].measureIndex > m) {
    if (Result<void> written = writeEmptyLines(track, out, m, budget); !written) return written.problem();
    return !finished;
  }
  // The track has notes, so it has at least one lane for them.
  std::vector<const ChartNote*> notes;
  for (; next < track.notes.size(); ++next) {
    const ChartNote& note = track.notes[next];
    if (note.measureIndex > m) break;
    if (note.measureIndex == m) notes.push_back(&note);
  }
  if (Result<void> written = writeNoteLines(track, notes, out, m, budget); !written) return written.problem();
  return true;
}

// The tempo-channel line of measure m, taking objects from `cursor` on.
Result<void> writeBpmLine(const std::vector<const ChartTempo*>& bpms, std::size_t& cursor, std::string& out,
                          int32_t m, LineBudget& budget) {
  if (cursor >= bpms.size() || bpms[cursor]->measureIndex > m) return {};
  std::vector<LineObject> objects;
  for (; cursor < bpms.size(); ++cursor) {
    const ChartTempo& bpm = *bpms[cursor];
    if (bpm.measureIndex > m) break;
    if (bpm.measureIndex == m) objects.push_back(lineObject(bpm, bpm.tempoIndex));
  }
  return appendChannelLines(out, m, kChannelTempo, objects, budget);
}

// Past the grid (the closing block) the line follows the time signatures in effect at tick 0,
// starting from 4/4; one the grid cannot use counts as 4/4 here too.
bool beyondGridRatio(const Song& song, int32_t& numerator, int32_t& denominator) {
  numerator = 4;
  denominator = 4;
  const TimeSignature* inEffect = nullptr;
  for (const TimeSignature& beat : song.timeSignatures) {
    if (beat.tick > 0) break;
    inEffect = &beat;
  }
  if (!inEffect) return false;
  if (measureLength(inEffect, song.header.division) == 4 * int32_t{song.header.division}) return false;
  numerator = inEffect->numerator;
  denominator = inEffect->denominator;
  return numerator != denominator;
}

// The measure-length line of measure m, when the measure is not 4/4 long.
void writeMeasureLengthLine(const Song& song, const MeasureGrid& grid, std::string& out, int32_t m) {
  const int32_t wholeNote = 4 * int32_t{song.header.division};
  float ratio = 0.0f;
  if (m >= 0 && static_cast<std::size_t>(m) < grid.measures.size()) {
    // The grid decides the measure's length, so the line says what the grid holds.
    const int32_t length = grid.measures[static_cast<std::size_t>(m)].length;
    if (length == wholeNote) return;
    ratio = static_cast<float>(length) / static_cast<float>(wholeNote);
  } else {
    int32_t numerator = 0;
    int32_t denominator = 0;
    if (!beyondGridRatio(song, numerator, denominator)) return;
    ratio = static_cast<float>(numerator) / static_cast<float>(denominator);
  }
  out += channelLineStart(m, kChannelMeasureLength);
  appendFormatted(out, "%f\n", static_cast<double>(ratio));
}

}  // namespace

double chartBpmValue(const Tempo& tempo) {
  // A tempo with no time per quarter has no exact value to give; it keeps the one it was read as.
  if (tempo.microseconds <= 0) return static_cast<double>(tempo.bpm);
  return 60000000.0 / static_cast<double>(tempo.microseconds);
}

std::string soundFileName(const std::string& definitionName, int32_t fileNumber) {
  std::string name = definitionName + "_";
  appendFormatted(name, "%02d.wav", fileNumber);
  return name;
}

Result<std::string> formatBmsChart(const Song& song, const MeasureGrid& grid, const Chart& chart,
                                   const ChartHeader& header) {
  if (Result<void> fits = checkChartLimits(song, chart); !fits) return fits.problem();
  std::string out;
  writeHeader(song, header, out);
  writeBpmDefinitions(song, out);
  for (const ChartTrack& track : chart.tracks) writeWavDefinitions(track, out);
  out += "\n\n";
  // The first tempo is the header's "#BPM"; the channel carries the others.
  const std::vector<const ChartTempo*> bpms = laterTempoChanges(chart);
  std::size_t bpmCursor = 0;
  std::vector<std::size_t> cursors(chart.tracks.size(), 0);
  LineBudget budget;
  for (int32_t m = 0;; ++m) {
    if (Result<void> written = writeBpmLine(bpms, bpmCursor, out, m, budget); !written)
      return written.problem();
    writeMeasureLengthLine(song, grid, out, m);
    bool unfinished = false;
    for (std::size_t t = 0; t < chart.tracks.size(); ++t) {
      const Result<bool> written = writeMeasureLines(chart.tracks[t], cursors[t], out, m, budget);
      if (!written) return written.problem();
      unfinished = *written || unfinished;
    }
    out += "\n";
    if (!unfinished) break;
  }
  return out;
}

}  // namespace rendlow
