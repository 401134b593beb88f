#include "generated_song.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace rendlow::test {

namespace {

constexpr int kQuarter = 480;
constexpr int kSixteenth = kQuarter / 4;
constexpr int kBarsPerScale = 300;

// The same pseudo-random numbers on every machine, so the song never changes.
class Sequence {
public:
  int next(int below) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<int>((state_ >> 33) % static_cast<uint64_t>(below));
  }

private:
  uint64_t state_ = 0x5EED;
};

// Bars in 4/4, with a stretch of 3/4 and one of 7/8 in every 100 bars.
int barLength(int bar) {
  const int within = bar % 100;
  if (within >= 40 && within < 48) return 3 * kQuarter;
  if (within >= 70 && within < 76) return 7 * kQuarter / 2;
  return 4 * kQuarter;
}

struct Timed {
  int32_t tick;
  int kind;  // 0 note-off, 1 controller, 2 note-on: at one tick, they are written in this order
  int a, b;
};

class Part {
public:
  explicit Part(int channel) : channel_(channel) {}

  void note(int32_t tick, int32_t length, int pitch, int velocity) {
    events_.push_back({tick, 2, pitch, velocity});
    events_.push_back({tick + length, 0, pitch, 0});
  }
  void controller(int32_t tick, int number, int value) { events_.push_back({tick, 1, number, value}); }

  void writeTo(TrackBuilder& track, const char* name, int32_t end) {
    std::stable_sort(events_.begin(), events_.end(),
                     [](const Timed& x, const Timed& y) { return x.tick != y.tick ? x.tick < y.tick : x.kind < y.kind; });
    track.name(name);
    for (const Timed& e : events_) {
      if (e.kind == 0) track.noteOff(e.tick, channel_, e.a);
      if (e.kind == 1) track.controlChange(e.tick, channel_, e.a, e.b);
      if (e.kind == 2) track.noteOn(e.tick, channel_, e.a, e.b);
    }
    track.endOfTrack(std::max(end, events_.empty() ? 0 : events_.back().tick));
  }

private:
  int channel_;
  std::vector<Timed> events_;
};

void conductor(TrackBuilder& track, int bars) {
  static constexpr double kTempos[] = {128, 132, 140, 150, 160, 145};
  track.name("Conductor");
  int32_t tick = 0;
  int previousLength = 0;
  for (int bar = 0; bar < bars; ++bar) {
    const int length = barLength(bar);
    if (length != previousLength) {
      track.timeSignature(tick, length == 3 * kQuarter ? 3 : length == 4 * kQuarter ? 4 : 7, length == 7 * kQuarter / 2 ? 3 : 2);
    }
    if (bar % 8 == 0) track.tempoBpm(tick, kTempos[(bar / 8) % 6]);
    previousLength = length;
    tick += length;
  }
  track.endOfTrack(tick);
}

// The conductor, then each part as a track of its name, all ending at `end` or their last event.
Bytes songOf(int bars, int32_t end, std::initializer_list<std::pair<Part*, const char*>> parts) {
  MidiBuilder song(kQuarter);
  conductor(song.track(), bars);
  for (const auto& [part, name] : parts) part->writeTo(song.track(), name, end);
  return song.bytes();
}

}  // namespace

Bytes generatedSong(int scale) {
  const int bars = kBarsPerScale * scale;
  Sequence random;
  Part drums(9), lead(0), bass(1), chords(2), arpeggio(3);
  int32_t tick = 0;
  for (int bar = 0; bar < bars; ++bar) {
    const int steps = barLength(bar) / kSixteenth;
    for (int s = 0; s < steps; ++s) {
      const int32_t at = tick + s * kSixteenth;
      // Drums: kick, snare, closed and open hats, ghost notes: about 22 hits a bar.
      if (s % 8 == 0) drums.note(at, 60, 36, 100 + random.next(20));
      if (s % 8 == 4) drums.note(at, 60, 38, 90 + random.next(30));
      drums.note(at, 30, s % 4 == 2 ? 46 : 42, 60 + random.next(40));
      if (random.next(8) == 0) drums.note(at + kSixteenth / 2, 30, 37, 30 + random.next(20));
      // Lead: triplets of a sixteenth from a five-note scale over two octaves, short or held,
      // with controllers on the beat.
      static constexpr int kScale[] = {0, 2, 4, 7, 9};
      for (int third = 0; third < 3; ++third) {
        if (random.next(12) == 0) continue;
        const int pitch = 60 + kScale[random.next(5)] + 12 * random.next(2);
        lead.note(at + third * kSixteenth / 3, kSixteenth / 3 / (1 + random.next(2)), pitch, 70 + 8 * random.next(6));
      }
      if (s % 4 == 0) lead.controller(at, 11, 80 + 10 * random.next(5));
      if (s % 8 == 0) lead.controller(at, 1, 16 * random.next(4));
      if (s % 16 == 0) lead.controller(at, 10, 40 + 16 * random.next(4));
      // Arpeggio: three notes of four sixteenths.
      if (s % 4 != 3) arpeggio.note(at, kSixteenth, 48 + kScale[(s + bar) % 5] + 12 * (s % 2), 80);
      // Bass: eighths, each held into the next (legato).
      if (s % 2 == 0) bass.note(at, kSixteenth * 3, 36 + kScale[random.next(5)], 90 + random.next(3) * 10);
      // Chords: three notes on every beat.
      if (s % 4 == 0) {
        const int root = 55 + kScale[(bar + s / 4) % 5];
        for (const int interval : {0, 4, 7}) chords.note(at, kQuarter - 20, root + interval, 70 + random.next(2) * 20);
      }
    }
    tick += barLength(bar);
  }
  return songOf(bars, tick, {{&drums, "Drums"}, {&lead, "Lead"}, {&bass, "Bass"}, {&chords, "Chords"}, {&arpeggio, "Arpeggio"}});
}

Bytes soundtrackSong(int bars) {
  static constexpr int kScale[] = {0, 2, 4, 7, 9};
  Sequence random;
  Part drums(9), lead(0), bass(1), chords(2), arpeggio(3), pad(4), counter(5);
  int32_t tick = 0;
  for (int bar = 0; bar < bars; ++bar) {
    const int steps = barLength(bar) / kSixteenth;
    const int root = 55 + kScale[bar % 5];
    for (int s = 0; s < steps; ++s) {
      const int32_t at = tick + s * kSixteenth;
      if (s % 8 == 0) drums.note(at, 60, 36, 100 + 10 * random.next(2));
      if (s % 8 == 4) drums.note(at, 60, 38, 90 + 10 * random.next(3));
      drums.note(at, 30, s % 4 == 2 ? 46 : 42, 60 + 10 * random.next(4));
      if (s % 2 == 0) lead.note(at, kSixteenth * (1 + random.next(2)), 72 + kScale[random.next(5)] + 12 * random.next(2), 70 + 10 * random.next(4));
      if (s % 2 == 0) bass.note(at, kSixteenth * 3, 36 + kScale[random.next(5)], 90 + random.next(2) * 10);
      if (s % 4 != 3) arpeggio.note(at, kSixteenth, 48 + kScale[(s + bar) % 5] + 12 * (s % 2), 80);
      if (s % 4 == 2) counter.note(at, kSixteenth * 2, 64 + kScale[random.next(5)], 60 + 10 * random.next(3));
    }
    // Chords on every beat, the pedal held through the bar and lifted before the next.
    chords.controller(tick, 64, 127);
    for (int beat = 0; beat < steps / 4; ++beat) {
      for (const int interval : {0, 4, 7}) chords.note(tick + beat * kQuarter, kQuarter / 2, root + interval, 70 + random.next(2) * 20);
    }
    chords.controller(tick + barLength(bar) - kSixteenth, 64, 0);
    pad.note(tick, barLength(bar) - 10, root - 12, 64);
    tick += barLength(bar);
  }
  return songOf(bars, tick,
                {{&drums, "Drums"}, {&lead, "Lead"}, {&bass, "Bass"}, {&chords, "Chords"}, {&arpeggio, "Arpeggio"},
                 {&pad, "Pad"}, {&counter, "Counter"}});
}

}  // namespace rendlow::test
