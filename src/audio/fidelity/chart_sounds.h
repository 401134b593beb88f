#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "audio/io/audio_backend.h"
#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// An object of the chart's background: the sound of its #WAV id, from its time on.
struct BackgroundObject {
  double seconds = 0;
  int32_t wavId = 0;
};

// The chart's background as a player plays it: its objects in time order, and the sound file
// each #WAV id names.
struct ChartBackground {
  std::map<int32_t, std::string> soundFiles;
  std::vector<BackgroundObject> objects;
};

// The sound files a chart's background plays, each read once, so that the mixes of the chart
// and of each of its parts play from the same samples rather than each from a copy of its own.
// A sound named "x.wav" that is missing is looked for as "x.ogg" and the other extensions the
// backend reads, as players do. A file of another rate than the mix's is refused (no
// resampling), and one of another channel count unless it is mono.
class ChartSounds {
public:
  static ChartSounds read(const ChartBackground& background, const std::string& chartPath,
                          const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                          const AudioBackend& backend);

  // Why the sounds of `part` cannot all be played: the problem of its first object whose file
  // could not be read; none when they can.
  std::optional<Problem> problemOf(const ChartBackground& part) const;
  // The sound of an id; null for an id without a #WAV line.
  const AudioBuffer* sound(int32_t wavId) const;
  // An empty buffer of the mix's rate and channels.
  const AudioBuffer& shape() const { return shape_; }

private:
  AudioBuffer shape_;
  std::map<int32_t, AudioBuffer> sounds_;
  std::map<int32_t, Problem> problems_;
};

}  // namespace rendlow::audio
