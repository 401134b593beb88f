#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/fidelity/chart_sounds.h"
#include "audio/io/audio_backend.h"
#include "audio/io/audio_buffer.h"
#include "audio/io/sound_stream.h"
#include "base/result.h"

namespace rendlow::audio {

// The part of the background whose #WAV names one of `fileNames`: one track's sounds, when
// those are its files.
ChartBackground partOf(const ChartBackground& background, const std::set<std::string>& fileNames);

// What the chart's background sounds like when played: every object's sound file mixed in at
// its time, each playing until it ends or the next object of the same id starts, as players
// cut a sound off when its id comes again. Objects of ids without a #WAV line are silent. The
// mix has the rate and channel count of its sounds (see ChartSounds); a mono sound goes to every
// channel.
//
// A player starts each object at its exact frame. With `blockFrames` above 0 each starts at the
// first boundary of blocks that long instead, as the synthesizer starts a note at that time: a
// playback so placed can be compared with the synthesizer's own render of the song sample for
// sample, and what the comparison then shows is what the slicing changed, not the synthesizer's
// timing.
//
// The background is mixed a block at a time: only the block being mixed is held besides the
// sounds playing in it (see ChartSounds).
class ChartMix {
public:
  static Result<std::unique_ptr<ChartMix>> open(const ChartBackground& background, const std::string& chartPath,
                                                const std::string& soundFolder, int32_t sampleRate,
                                                int32_t channels, const AudioBackend& backend,
                                                int32_t blockFrames = 0);
  // The same from sounds already read, which must outlive the mix: the chart and each of its
  // parts share one reading. Its problem is that of the first of its sounds that could not be read.
  static Result<std::unique_ptr<ChartMix>> open(const ChartBackground& background, const ChartSounds& sounds,
                                                int32_t blockFrames = 0);
  // The background from its start, as often as it is needed. A sound file that could not be read
  // again as it came to play plays as silence, and the stream's finish says why.
  std::unique_ptr<SoundStream> stream() const;

  struct Placement {
    int64_t start = 0;
    int64_t frames = 0;
    int32_t wavId = 0;
  };

private:
  ChartMix() = default;

  std::unique_ptr<ChartSounds> ownSounds_;  // when it read them itself
  const ChartSounds* sounds_ = nullptr;
  std::vector<Placement> placed_;
};

}  // namespace rendlow::audio
