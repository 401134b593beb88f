#pragma once

#include <cstdint>
#include <vector>

namespace rendlow::audio {

// A Set Tempo event of a MIDI file.
struct TempoChange {
  int64_t tick = 0;
  int32_t microsecondsPerQuarter = 500000;
};

// Ticks to seconds for one MIDI file: its division (ticks per quarter note, positive; the engine
// refuses SMPTE time before we get here) and its Set Tempo changes, 120 BPM before the first.
// Seconds are summed piece by piece in double precision, exact at every change.
class TempoMap {
public:
  // The changes may come in any order; those of one tick keep their order, so the last one in
  // the list is the tempo from that tick on, as a player reading the file would have it.
  TempoMap(int32_t division, std::vector<TempoChange> changes);

  double secondsAt(int64_t tick) const;

private:
  struct Piece {
    int64_t tick;
    double seconds;
    int32_t microsecondsPerQuarter;
  };

  // The product of ticks and microseconds is exact in a double up to 2^53, so each piece is
  // one correctly rounded division.
  double secondsWithin(const Piece& piece, int64_t tick) const;

  double microsecondsPerTickDivisor_;
  std::vector<Piece> pieces_;
};

// The frame a time falls on at a sample rate: the nearest one.
int64_t frameAt(double seconds, int32_t sampleRate);

}  // namespace rendlow::audio
