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

// The rate every render of the synthesizer has.
constexpr int32_t kRenderSampleRate = 44100;

// The frame at which the synthesizer hears an event of `tick`. FluidSynth renders in blocks of
// `blockFrames` (fluid_synth_get_internal_bufsize(), 64) and applies an event only where a block
// begins: the first boundary at or after the tick's exact position at the render rate. A sound
// starting there has its first sample there, so its cut starts there too.
int64_t renderFrameOf(const TempoMap& tempoMap, int64_t tick, int32_t blockFrames);

// The first boundary of `blockFrames`-frame blocks at or after an exact position in frames.
int64_t blockBoundaryAtOrAfter(double exactFrame, int32_t blockFrames);

}  // namespace rendlow::audio
