// Times the slicing engine on one long generated track: extraction with numbering, then the
// rendering layout. Two shapes: every note a distinct sound, and a few sounds repeated over and
// over. One run per size; the ratio of 40,000 to 20,000 notes shows how the cost grows.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <utility>

#include "base/diagnostics.h"
#include "slicer/note.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"
#include "support/track_maker.h"

namespace {

using rendlow::test::TrackMaker;

enum class Shape { Distinct, Repeated };

const char* nameOf(Shape shape) { return shape == Shape::Distinct ? "distinct" : "repeated"; }

// The song's tempo records outlive the track's weak links to them.
struct Song {
  rendlow::TempoList tempos;
  std::shared_ptr<rendlow::MidiTrack> track;
};

// Quarter-note spacing with controller changes along the way and a tempo change now and then.
Song makeSong(Shape shape, int notes) {
  TrackMaker maker;
  maker.tempo(0, 120.0f);
  for (int i = 0; i < notes; ++i) {
    const int32_t tick = i * 240;
    if (i % 5000 == 4999) maker.tempo(tick, i % 10000 == 9999 ? 120.0f : 132.0f);
    if (i % 16 == 0) maker.controlChange(tick, 7, 100 + i / 16 % 2);
    if (i % 50 == 0) maker.controlChange(tick + 30, 10, 64);
    if (shape == Shape::Distinct) {
      maker.note(tick, 60 + i / 100, 20 + i % 100, 100);
    } else {
      static constexpr int kPitches[] = {60, 62, 64, 65, 67, 69, 71, 72};
      maker.note(tick, 120, kPitches[i % 8], 90 + i % 3);
    }
  }
  maker.endOfTrack(notes * 240 + 960);
  auto track = maker.build();
  track->settings.ccSplitWidth = 32;
  track->settings.ccInterval = 60;
  return {maker.tempos(), track};
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
  const Song song = makeSong(shape, notes);
  const auto& track = song.track;
  rendlow::Diagnostics silent;
  Timing timing;
  const Stopwatch extraction;
  rendlow::extractNotes(*track, silent);
  timing.extract = extraction.elapsed();
  const Stopwatch layout;
  if (!rendlow::buildRenderLayout(*track)) std::fprintf(stderr, "the layout was refused\n");
  timing.layout = layout.elapsed();
  for (const auto& note : track->notes) timing.sounds += note->firstOccurrence;
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
