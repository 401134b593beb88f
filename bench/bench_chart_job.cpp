// The whole command-line job on generated songs of 25,000 and 50,000 notes: reading, slicing,
// layout, re-timing, the rendering MIDI file, the settings file and the chart, as
// `rendlow-cli -q SONG.mid` runs it: the real program, in a process of its own, so that its peak
// memory is measured too. One run of each size; the larger should take at most 2.5 times as long
// as the smaller. An argument names another rendlow-cli to time instead of the one built here.
//
// The songs: a conductor with a tempo change every 16 bars and a 3/4 section in the middle, and
// 16 tracks in turn of chords, legato lines and single notes, with velocities and a controller
// that vary, so that sounds repeat but not all of them.

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli_process.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

constexpr int kQuarter = 480;
constexpr int kStep = kQuarter / 2;  // every track plays eighth notes
constexpr int kTracks = 16;

struct Grid {
  int bars = 0;
  int threeFourFrom = 0;  // bars of 3/4 from here to threeFourTo
  int threeFourTo = 0;
  int barStart(int bar) const {
    const int common = std::min(bar, threeFourFrom);
    const int odd = std::max(0, std::min(bar, threeFourTo) - threeFourFrom);
    const int rest = std::max(0, bar - threeFourTo);
    return (common + rest) * 4 * kQuarter + odd * 3 * kQuarter;
  }
  int end() const { return barStart(bars); }
};

void conductor(TrackBuilder& t, const Grid& grid) {
  t.name("Conductor").timeSignature(0, 4, 2).tempoBpm(0, 120.0);
  for (int bar = 1; bar < grid.bars; ++bar) {
    if (bar == grid.threeFourFrom) t.timeSignature(grid.barStart(bar), 3, 2);
    if (bar == grid.threeFourTo) t.timeSignature(grid.barStart(bar), 4, 2);
    if (bar % 16 == 0) t.tempoBpm(grid.barStart(bar), 100.0 + (bar / 16) % 7 * 10.0);
  }
  t.endOfTrack(grid.end());
}

// Chord tracks play three notes per step, legato tracks overlap each note with the next, the rest
// play single notes; a phrase of eight pitches repeats with a velocity that changes every bar.
int player(TrackBuilder& t, int index, const Grid& grid, int notesWanted) {
  const int kind = index % 3;
  const int channel = index % 16;
  const int perStep = kind == 0 ? 3 : 1;
  const int base = 36 + (index * 5) % 48;
  int notes = 0;
  int previous = -1;
  for (int bar = 0; bar < grid.bars && notes < notesWanted; ++bar) {
    const int start = grid.barStart(bar);
    const int velocity = 70 + (bar % 4) * 15;
    t.controlChange(start, channel, 7, 60 + (bar / 8) % 4 * 20);
    for (int tick = start; tick < grid.barStart(bar + 1) && notes < notesWanted; tick += kStep) {
      const int pitch = base + ((tick / kStep) % 8) * 2;
      for (int n = 0; n < perStep; ++n) t.noteOn(tick, channel, pitch + n * 4, velocity);
      if (kind == 1 && previous >= 0) t.noteOff(tick + 20, channel, previous);
      if (kind == 1) {
        previous = pitch;
      } else {
        for (int n = 0; n < perStep; ++n) t.noteOff(tick + kStep - 40, channel, pitch + n * 4);
      }
      notes += perStep;
    }
  }
  if (previous >= 0) t.noteOff(grid.end(), channel, previous);
  t.endOfTrack(grid.end());
  return notes;
}

struct Run {
  int notes = 0;
  rendlow::bench::ProcessRun job;
};

// Each run in a folder of its own: the program would load the settings file a run before it
// saved beside the song.
Run timeJob(const std::string& cli, int totalNotes) {
  // Every track gets its share of the notes; a single-note track needs a step for each.
  const int share = totalNotes / kTracks;
  Grid grid;
  grid.bars = share / 8 + 12;
  grid.threeFourFrom = grid.bars / 2;
  grid.threeFourTo = grid.threeFourFrom + 8;

  rendlow::test::TempDir dir;
  MidiBuilder song(kQuarter);
  conductor(song.track(), grid);
  int notes = 0;
  for (int i = 0; i < kTracks; ++i)
    notes += player(song.track(), i, grid, i + 1 < kTracks ? share : totalNotes - notes);
  song.write(dir.file("song.mid"));

  return {notes, rendlow::bench::runMeasured({cli, "-q", dir.file("song.mid")}, dir.file("errors.txt"))};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cli = rendlow::bench::cliPath(argc, argv);
  std::printf("%8s %10s %9s\n", "notes", "seconds", "peak MiB");
  double previous = 0;
  double last = 0;
  for (int notes : {25000, 50000}) {
    const Run run = timeJob(cli, notes);
    if (run.job.status != 0 || !run.job.errors.empty()) {
      std::fprintf(stderr, "the job failed (status %d): %s", run.job.status, run.job.errors.c_str());
      return 1;
    }
    std::printf("%8d %10.3f %9.1f\n", run.notes, run.job.seconds, run.job.peakMiB);
    previous = last;
    last = run.job.seconds;
  }
  const double ratio = previous > 0 ? last / previous : 0.0;
  std::printf("ratio: %.2f (at most 2.5)\n", ratio);
  return ratio <= 2.5 ? 0 : 1;
}
