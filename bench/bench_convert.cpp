// How long the conversion run takes on a long song, stage by stage: a 16-track song of about
// 300,000 events whose conductor ramps the tempo 500 times, then the same song twice as long
// (twice the events and tempo changes). Prints the time of reading, of each conversion stage
// (measures, note extraction, layout, re-timing) and of writing the rendering file, the number of
// re-timing cycles, and the ratio of the two sizes' whole times (about 2 when the work grows
// linearly). Runs the song as loaded (no grid) and with a grid of 1920 on every other track.
//
// The stages are those of convert() (app/conversion.cpp), called one by one so that each can be
// timed; writing is what the output flow does with the rendering file: encode, then write.

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/conversion.h"
#include "base/file_output.h"
#include "bms/measure_grid.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "slicer/retiming.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;
using Clock = std::chrono::steady_clock;

constexpr int kTracks = 16;
constexpr int32_t kStep = 120;  // ticks between the starts of two notes

// About `events` events. Each track plays a phrase of 16 notes over and over, a volume change
// every fourth note; every third track plays three-note chords. Sounds repeat within a tempo
// section and differ between sections (a sound is rendered under its own tempo).
MidiBuilder makeSong(int events, int tempoChanges) {
  MidiBuilder song(480);
  const int perTrack = events / (kTracks - 1);
  const int32_t notes = perTrack * 4 / 9;  // 2 events per note plus a controller every fourth note
  const int32_t songEnd = notes * kStep;
  // Tempo changes spread evenly over the song, rising from 90 towards 180 BPM.
  TrackBuilder& conductor = song.track().name("Conductor").timeSignature(0, 4, 2);
  for (int i = 0; i < tempoChanges; ++i)
    conductor.tempoBpm(static_cast<int32_t>(int64_t{songEnd} * i / tempoChanges),
                       90.0 + 90.0 * i / tempoChanges);
  conductor.endOfTrack(songEnd);
  for (int t = 1; t < kTracks; ++t) {
    TrackBuilder& track = song.track().name("Track " + std::to_string(t));
    const int channel = t % 16;
    const bool chords = t % 3 == 0;
    for (int32_t n = 0; n < (chords ? notes / 3 : notes); ++n) {
      const int32_t tick = n * kStep * (chords ? 3 : 1);
      const int pitch = 36 + ((n % 16) * 5 + t) % 48;
      const int velocity = 64 + (n % 8) * 8;
      if (n % 4 == 0) track.controlChange(tick, channel, 7, 40 + (n / 4) % 80);
      for (int voice = 0; voice < (chords ? 3 : 1); ++voice)
        track.noteOn(tick, channel, pitch + 4 * voice, velocity);
      for (int voice = 0; voice < (chords ? 3 : 1); ++voice)
        track.noteOff(tick + kStep / 2, channel, pitch + 4 * voice);
    }
    track.endOfTrack(songEnd);
  }
  return song;
}

double secondsSince(Clock::time_point& start) {
  const auto now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - start).count();
  start = now;
  return seconds;
}

struct Run {
  std::size_t events = 0;
  std::size_t tempos = 0;
  double read = 0, measures = 0, extraction = 0, layout = 0, retiming = 0, write = 0;
  int32_t cycles = 0;
  bool settled = false;

  double convert() const { return measures + extraction + layout + retiming; }
  double whole() const { return read + convert() + write; }
};

Run timeConversion(const std::string& input, int32_t gridUnit) {
  rendlow::Application app;  // progress lines off, as in the command line
  rendlow::Project& project = app.project;
  rendlow::Song& song = project.song;
  Run run;
  auto clock = Clock::now();
  if (!app.readMidiFile(input)) std::fprintf(stderr, "reading %s failed\n", input.c_str());
  run.read = secondsSince(clock);
  for (std::size_t t = 0; t < song.tracks.size(); ++t) {
    project.settings[t].gridUnit = t % 2 == 1 ? gridUnit : 0;
    run.events += song.tracks[t].events.size();
  }
  run.tempos = song.tempos.size();

  clock = Clock::now();
  rendlow::Converted converted;
  converted.tracks = rendlow::convertedTracks(song, project.settings);
  converted.measures = rendlow::buildMeasureGrid(song);
  run.measures = secondsSince(clock);
  converted.sliced.assign(song.tracks.size(), rendlow::SlicedTrack{});
  for (std::size_t t = 0; t < song.tracks.size(); ++t) {
    if (project.settings[t].enabled)
      converted.sliced[t] =
          rendlow::extractNotes(song.tracks[t], project.settings[t], song.tempos, app.diagnostics);
  }
  run.extraction = secondsSince(clock);
  rendlow::RenderingLayout built;
  for (std::size_t t = 0; t < song.tracks.size(); ++t) {
    if (!project.settings[t].enabled) {
      built.tracks.push_back(rendlow::trackAsRead(song.tracks[t]));
      continue;
    }
    rendlow::Result<rendlow::LaidOutTrack> track = rendlow::layOutTrack(
        song.tracks[t], converted.sliced[t], static_cast<int32_t>(t), project.settings[t], song.tempos);
    if (!track) {
      std::fprintf(stderr, "a track of %s was refused\n", input.c_str());
      break;
    }
    built.tracks.push_back(std::move(track).value());
  }
  run.layout = secondsSince(clock);
  rendlow::RetimedLayout retimed =
      rendlow::retimeLayout(std::move(built), song, converted.sliced, project.settings, app.diagnostics);
  converted.layout = std::move(retimed.layout);
  run.retiming = secondsSince(clock);
  run.cycles = retimed.report.cycles;
  run.settled = retimed.report.settled();
  const rendlow::Result<std::string> file = rendlow::encodeRenderingFile(song, converted, app.diagnostics);
  const bool written =
      file && rendlow::writeFileAtomically(input + "_out.mid", *file, rendlow::FileMode::Binary).ok();
  run.write = secondsSince(clock);
  if (!written) std::fprintf(stderr, "writing %s_out.mid failed\n", input.c_str());
  return run;
}

void printRun(const Run& run) {
  std::printf("%8zu %6zu %7.4f %8.4f %10.4f %7.4f %8.4f %7.4f %8.4f %7.4f %6d%s\n", run.events, run.tempos,
              run.read, run.measures, run.extraction, run.layout, run.retiming, run.write, run.convert(),
              run.whole(), run.cycles, run.settled ? "" : " (stopped)");
}

void compareSizes(const char* title, const std::string& single, const std::string& twice, int32_t gridUnit) {
  std::printf("%s\n", title);
  std::printf("%8s %6s %7s %8s %10s %7s %8s %7s %8s %7s %6s\n", "events", "tempos", "read", "measures",
              "extraction", "layout", "retiming", "write", "convert", "whole", "cycles");
  const Run small = timeConversion(single, gridUnit);
  const Run large = timeConversion(twice, gridUnit);
  printRun(small);
  printRun(large);
  std::printf("time ratio (double size / single size): whole %.2f, convert %.2f\n\n",
              large.whole() / small.whole(), large.convert() / small.convert());
}

}  // namespace

int main() {
  rendlow::test::TempDir dir;
  const std::string single = dir.file("song.mid");
  const std::string twice = dir.file("song2.mid");
  rendlow::test::writeBytes(single, makeSong(300000, 500).bytes());
  rendlow::test::writeBytes(twice, makeSong(600000, 1000).bytes());
  std::printf("times in seconds\n\n");
  compareSizes("as loaded (no grid)", single, twice, 0);
  compareSizes("grid 1920 on every other track", single, twice, 1920);
  return 0;
}
