#pragma once

#include <cstdint>
#include <map>
#include <memory>
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

class SoundCache;

// The sound files a chart's background plays. Each is read once up front, to know it can be
// played and how long it is, and then again while it plays: a chart of a long song has hundreds
// of sounds, and held all at once they would outweigh everything else the measure holds. The
// sounds playing are shared by every mix that plays them (the chart's and each of its parts'),
// and the ones played last are kept a while, for the next time they come.
// A sound named "x.wav" that is missing is looked for as "x.ogg" and the other extensions the
// backend reads, as players do. A file of another rate than the mix's is refused (no
// resampling), and one of another channel count unless it is mono. Sounds may be asked for from
// several threads at once.
class ChartSounds {
public:
  static ChartSounds read(const ChartBackground& background, const std::string& chartPath,
                          const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                          const AudioBackend& backend);
  ChartSounds(ChartSounds&&) noexcept;
  ChartSounds& operator=(ChartSounds&&) noexcept;
  ~ChartSounds();

  // Whether the sounds of `part` can all be played: the problem is that of its first object whose
  // file could not be read.
  Result<void> playable(const ChartBackground& part) const;
  // The frames of an id's sound; none for an id without a #WAV line or a readable file.
  std::optional<int64_t> frames(int32_t wavId) const;
  // The samples of an id's sound (one that has frames). The problem is why a file read up front
  // could not be read again.
  Result<std::shared_ptr<const AudioBuffer>> samples(int32_t wavId) const;
  // An empty buffer of the mix's rate and channels.
  const AudioBuffer& shape() const { return shape_; }

private:
  ChartSounds();

  struct File {
    std::string path;
    int64_t frames = 0;
  };
  AudioBuffer shape_;
  std::map<int32_t, File> files_;
  std::map<int32_t, Problem> problems_;
  std::unique_ptr<SoundCache> cache_;
};

}  // namespace rendlow::audio
