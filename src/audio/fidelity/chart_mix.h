#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/io/audio_backend.h"
#include "audio/fidelity/sound_stream.h"
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

// The part of the background whose #WAV names one of `fileNames`: one track's sounds, when
// those are its files.
ChartBackground partOf(const ChartBackground& background, const std::set<std::string>& fileNames);

// What the chart's background sounds like when played: every object's sound file mixed in at
// its time, each playing until it ends or the next object of the same id starts, as players
// cut a sound off when its id comes again. A sound named "x.wav" that is missing is looked for
// as "x.ogg" and the other extensions the backend reads, as players do. Objects of ids without
// a #WAV line are silent.
//
// The mix has the given rate and channel count; a sound file of another rate is refused (no
// resampling), and one of another channel count unless it is mono, which goes to every channel.
//
// A player starts each object at its exact frame. With `blockFrames` above 0 each starts at the
// first boundary of blocks that long instead, as the synthesizer starts a note at that time: a
// playback so placed can be compared with the synthesizer's own render of the song sample for
// sample, and what the comparison then shows is what the slicing changed, not the synthesizer's
// timing.
//
// The background is mixed a block at a time (see ChartMix); mixChart gives it whole.
Result<AudioBuffer> mixChart(const ChartBackground& background, const std::string& chartPath,
                             const std::string& soundFolder, int32_t sampleRate, int32_t channels,
                             const AudioBackend& backend, int32_t blockFrames = 0);

// The chart's background ready to play as mixChart plays it: its sound files read, and where
// each object plays. Only the block being mixed is held besides the sound files.
class ChartMix {
public:
  static Result<std::unique_ptr<ChartMix>> open(const ChartBackground& background, const std::string& chartPath,
                                                const std::string& soundFolder, int32_t sampleRate,
                                                int32_t channels, const AudioBackend& backend,
                                                int32_t blockFrames = 0);
  // The background from its start, as often as it is needed.
  std::unique_ptr<SoundStream> stream() const;

  struct Placement {
    int64_t start = 0;
    int64_t frames = 0;
    const AudioBuffer* sound = nullptr;
  };

private:
  ChartMix() = default;

  AudioBuffer shape_;
  std::map<int32_t, AudioBuffer> sounds_;
  std::vector<Placement> placed_;
};

}  // namespace rendlow::audio
