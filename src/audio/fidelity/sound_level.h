#pragma once

// Levels: of two energies against each other, and of a sound's samples.

#include <cstdint>

#include "audio/io/audio_buffer.h"

namespace rendlow::audio {

// Signal energy over noise energy in dB; infinite without noise.
double ratioDb(double signal, double noise);

// The largest sample's level in dBFS; minus infinity for silence.
double peakDbfs(const AudioBuffer& buffer);

// The frame after the last one with a sample above -60 dBFS on any channel; 0 for silence.
int64_t audibleEnd(const AudioBuffer& buffer);

// The largest sample and the audible end of a sound that comes a block at a time.
class LevelWatch {
public:
  void add(const AudioBuffer& block);
  double peakDbfs() const;
  int64_t audibleEnd() const { return audibleEnd_; }

private:
  float peak_ = 0;
  int64_t frames_ = 0;
  int64_t audibleEnd_ = 0;
};

}  // namespace rendlow::audio
