// The worst inputs of at most 64 KiB we know how to make, each run through the whole
// command-line job (`rendlow-cli -q SONG.mid`): how long it takes and how much memory it holds at
// its peak. Every one must stay far below 10 s and 1 GiB, whether the job is refused or done.
//
// Each shape runs the real program in a process of its own, so that the peak memory is that
// shape's job alone. An argument names another rendlow-cli to measure instead of the one built
// here.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "cli_process.h"
#include "midi/midi_reader.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "slicer/track_settings.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

constexpr std::size_t kInputLimit = 64 * 1024;

// The song of `make` with the largest count that keeps it within 64 KiB.
MidiBuilder fit(const std::function<MidiBuilder(int)>& make) {
  int low = 1;
  int high = static_cast<int>(kInputLimit);
  while (low + 1 < high) {
    const int middle = (low + high) / 2;
    (make(middle).bytes().size() <= kInputLimit ? low : high) = middle;
  }
  return make(low);
}

// Notes held until the track ends, a controller moving between them: each sound walks the rest of
// the track again and meets every later controller.
void heldNotes(TrackBuilder& track, int notes) {
  for (int i = 0; i < notes; ++i) {
    track.noteOn(i * 10, 0, 20 + i % 100, 1 + i / 100 % 127).controlChange(i * 10 + 5, 0, 1, i % 128);
  }
  track.endOfTrack(notes * 10 + 10);
}

// The most held notes whose layout the bounds still accept.
int heldNotesAtTheBound() {
  int low = 1;
  int high = 4000;
  while (low + 1 < high) {
    const int middle = (low + high) / 2;
    MidiBuilder song(480, 0);
    heldNotes(song.track(), middle);
    rendlow::RunningStatus status;
    rendlow::Diagnostics silent;
    rendlow::Result<rendlow::Song> read = rendlow::readMidiBytes(song.bytes(), status, silent);
    if (!read) std::exit(2);
    rendlow::MidiTrack& track = read->tracks[0];
    const rendlow::TrackSettings settings;
    const rendlow::SlicedTrack sliced = rendlow::extractNotes(track, settings, read->tempos, silent);
    (rendlow::layOutTrack(track, sliced, 0, settings, read->tempos) ? low : high) = middle;
  }
  return low;
}

// Tracks of held notes, each just within the bounds, as many as fit.
MidiBuilder heldTracksAtTheBound() {
  const int notes = heldNotesAtTheBound();
  MidiBuilder song;
  song.track().tempo(0, 500000).endOfTrack(0);
  while (song.bytes().size() + 8 * static_cast<std::size_t>(notes) + 32 < kInputLimit)
    heldNotes(song.track(), notes);
  return song;
}

// One track of held notes, as many as fit: refused.
MidiBuilder heldTrack(int notes) {
  MidiBuilder song;
  song.track().tempo(0, 500000).endOfTrack(0);
  heldNotes(song.track(), notes);
  return song;
}

// Note-ons alone, three bytes each, never ended: every sound holds until the song ends.
MidiBuilder unendedNotes(int notes) {
  MidiBuilder song;
  song.track().tempo(0, 500000).endOfTrack(0);
  auto& track = song.track().useRunningStatus();
  for (int i = 0; i < notes; ++i) track.noteOn(i, 0, i % 128, 1 + i / 128 % 127);
  track.endOfTrack(notes);
  return song;
}

// `controllers` controllers set once, then distinct short notes (ended by velocity 0, so running
// status holds): every sound starts with a preset of every controller.
MidiBuilder presets(int controllers, int notes) {
  MidiBuilder song;
  song.track().tempo(0, 500000).endOfTrack(0);
  auto& track = song.track();
  for (int c = 0; c < controllers; ++c) track.controlChange(0, 0, c, 64);
  track.useRunningStatus();
  for (int i = 0; i < notes; ++i) {
    const int pitch = i % 128;
    const int length = 1 + i / 128 % 90;
    track.noteOn(i * 100, 0, pitch, 100).noteOn(i * 100 + length, 0, pitch, 0);
  }
  track.endOfTrack(notes * 100);
  return song;
}

// Measures of 120,960 ticks (30,240 per quarter), each with sounds at 1/128, 1/27, 1/5 and 1/7:
// a chart line of 120,960 slots in every measure.
MidiBuilder fineChartLines() {
  constexpr int kDivision = 30240;
  constexpr int kMeasure = 4 * kDivision;
  MidiBuilder song(kDivision);
  song.track().tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(0);
  auto& track = song.track();
  for (int m = 0; m < 990; ++m) {
    for (int denominator : {128, 27, 7, 5}) {
      const int tick = m * kMeasure + kMeasure / denominator;
      track.noteOn(tick, 0, 60, 100).noteOff(tick + 10, 0, 60);
    }
  }
  track.endOfTrack(990 * kMeasure);
  return song;
}

struct Shape {
  const char* name;
  std::function<MidiBuilder()> make;
};

const std::vector<Shape>& shapes() {
  static const std::vector<Shape> all{
      {"held-notes-one-track", [] { return fit(heldTrack); }},
      {"held-notes-tracks-at-bound", heldTracksAtTheBound},
      {"unended-notes", [] { return fit(unendedNotes); }},
      {"presets-60-controllers", [] { return fit([](int notes) { return presets(60, notes); }); }},
      {"presets-128-controllers", [] { return fit([](int notes) { return presets(128, notes); }); }},
      {"fine-chart-lines", fineChartLines},
  };
  return all;
}

// The job on one shape, in a process of its own.
int runShape(const std::string& cli, const Shape& shape) {
  rendlow::test::TempDir dir;
  const std::string path = dir.file("song.mid");
  const MidiBuilder song = shape.make();
  song.write(path);
  const std::size_t bytes = song.bytes().size();
  const rendlow::bench::ProcessRun job =
      rendlow::bench::runMeasured({cli, "-q", path}, dir.file("errors.txt"));
  // What went wrong first, in the engine's words: its first line and the start of its reason.
  std::istringstream lines(job.errors);
  std::string headline;
  std::string file;
  std::string reason;
  std::getline(lines, headline);
  std::getline(lines, file);
  std::getline(lines, reason);
  std::size_t cut = std::min<std::size_t>(reason.size(), 72);
  while (cut > 0 && cut < reason.size() && (static_cast<unsigned char>(reason[cut]) & 0xC0) == 0x80) --cut;
  const std::string told = headline.empty() ? "written" : headline + " /" + reason.substr(0, cut);
  std::printf("%-28s %6zu %4d %8.3f %9.1f  %s\n", shape.name, bytes, job.status, job.seconds, job.peakMiB,
              told.c_str());
  std::fflush(stdout);
  return bytes <= kInputLimit ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cli = rendlow::bench::cliPath(argc, argv);
  std::printf("%-28s %6s %4s %8s %9s  %s\n", "shape", "bytes", "exit", "seconds", "peak MiB", "outcome");
  int failures = 0;
  for (const Shape& shape : shapes()) failures += runShape(cli, shape);
  return failures == 0 ? 0 : 1;
}
