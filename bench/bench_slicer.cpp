// Times the slicing engine on one long generated track: extraction with numbering, then the
// rendering layout. Two shapes: every note a distinct sound, and a few sounds repeated over and
// over. One run per size; the ratio of 40,000 to 20,000 notes shows how the cost grows.
//
// The track is written as a MIDI file and read back before the clock starts, so that it is held
// exactly as the reader leaves it; only the two slicer stages are timed.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "base/diagnostics.h"
#include "midi/midi_reader.h"
#include "slicer/note.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "slicer/track_settings.h"
#include "support/midi_builder.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

enum class Shape { Distinct, Repeated };

const char* nameOf(Shape shape) { return shape == Shape::Distinct ? "distinct" : "repeated"; }

// The builder wants its events in time order, but a note-off lies ahead of the note-ons that
// follow it; so the events are gathered first and sorted by tick, keeping the order of the calls
// at one tick.
class TrackEvents {
public:
  void tempo(int32_t tick, double bpm) {
    add(tick, [=](TrackBuilder& t) { t.tempoBpm(tick, bpm); });
  }
  void controlChange(int32_t tick, int controller, int value) {
    add(tick, [=](TrackBuilder& t) { t.controlChange(tick, 0, controller, value); });
  }
  void note(int32_t tick, int32_t length, int pitch, int velocity) {
    add(tick, [=](TrackBuilder& t) { t.noteOn(tick, 0, pitch, velocity); });
    add(tick + length, [=](TrackBuilder& t) { t.noteOff(tick + length, 0, pitch); });
  }
  void writeTo(TrackBuilder& track, int32_t end) {
    std::stable_sort(events_.begin(), events_.end(),
                     [](const Pending& a, const Pending& b) { return a.tick < b.tick; });
    for (const Pending& p : events_) p.write(track);
    track.endOfTrack(end);
  }

private:
  struct Pending {
    int32_t tick;
    std::function<void(TrackBuilder&)> write;
  };
  void add(int32_t tick, std::function<void(TrackBuilder&)> write) {
    events_.push_back({tick, std::move(write)});
  }
  std::vector<Pending> events_;
};

// Quarter-note spacing with controller changes along the way and a tempo change now and then.
rendlow::Song makeSong(Shape shape, int notes) {
  TrackEvents events;
  events.tempo(0, 120.0);
  for (int i = 0; i < notes; ++i) {
    const int32_t tick = i * 240;
    if (i % 5000 == 4999) events.tempo(tick, i % 10000 == 9999 ? 120.0 : 132.0);
    if (i % 16 == 0) events.controlChange(tick, 7, 100 + i / 16 % 2);
    if (i % 50 == 0) events.controlChange(tick + 30, 10, 64);
    if (shape == Shape::Distinct) {
      events.note(tick, 60 + i / 100, 20 + i % 100, 100);
    } else {
      static constexpr int kPitches[] = {60, 62, 64, 65, 67, 69, 71, 72};
      events.note(tick, 120, kPitches[i % 8], 90 + i % 3);
    }
  }
  // Format 1: a format 0 file with channel events is read as a conductor and one track per
  // channel, which would take the tempo changes away from the track that is timed.
  MidiBuilder builder(480);
  events.writeTo(builder.track(), notes * 240 + 960);
  rendlow::RunningStatus status;
  rendlow::Diagnostics silent;
  rendlow::Result<rendlow::Song> song = rendlow::readMidiBytes(builder.bytes(), status, silent);
  if (!song || song->tracks.size() != 1) {
    std::fprintf(stderr, "the generated track could not be read\n");
    std::exit(1);
  }
  return std::move(song).value();
}

// Wall and processor time of one stage, in milliseconds.
struct Cost {
  double wall = 0;
  double cpu = 0;
};

class Stopwatch {
public:
  Cost elapsed() const {
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_).count(),
            1000.0 * static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC};
  }

private:
  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  std::clock_t cpu_ = std::clock();
};

struct Timing {
  Cost extract;
  Cost layout;
  std::size_t sounds = 0;
  Cost total() const { return {extract.wall + layout.wall, extract.cpu + layout.cpu}; }
};

Timing timeOnce(Shape shape, int notes) {
  rendlow::Song song = makeSong(shape, notes);
  rendlow::MidiTrack& track = song.tracks[0];
  rendlow::TrackSettings settings;
  settings.ccSplitWidth = 32;
  settings.ccInterval = 60;
  rendlow::Diagnostics silent;
  Timing timing;
  const Stopwatch extraction;
  const rendlow::SlicedTrack sliced = rendlow::extractNotes(track, settings, song.tempos, silent);
  timing.extract = extraction.elapsed();
  const Stopwatch layout;
  if (!rendlow::layOutTrack(track, sliced, 0, settings, song.tempos))
    std::fprintf(stderr, "the layout was refused\n");
  timing.layout = layout.elapsed();
  for (const rendlow::Note& note : sliced.notes) timing.sounds += note.firstOccurrence;
  return timing;
}

}  // namespace

int main() {
  std::printf("%-9s %6s %7s %22s %22s %22s\n", "shape", "notes", "sounds", "extract+number ms", "layout ms",
              "total ms");
  std::printf("%-9s %6s %7s %22s %22s %22s\n", "", "", "", "wall / cpu", "wall / cpu", "wall / cpu");
  std::map<std::pair<Shape, int>, Cost> totals;
  for (Shape shape : {Shape::Distinct, Shape::Repeated}) {
    for (int notes : {10000, 20000, 40000}) {
      const Timing t = timeOnce(shape, notes);
      totals[{shape, notes}] = t.total();
      std::printf("%-9s %6d %7zu %12.1f / %7.1f %12.1f / %7.1f %12.1f / %7.1f\n", nameOf(shape), notes,
                  t.sounds, t.extract.wall, t.extract.cpu, t.layout.wall, t.layout.cpu, t.total().wall,
                  t.total().cpu);
    }
  }
  for (Shape shape : {Shape::Distinct, Shape::Repeated}) {
    const Cost big = totals[{shape, 40000}];
    const Cost half = totals[{shape, 20000}];
    std::printf("%s: 40000 / 20000 notes = %.2f wall, %.2f cpu\n", nameOf(shape), big.wall / half.wall,
                big.cpu / half.cpu);
  }
  return 0;
}
