#include "audio/synth/render_timing.h"

#include <cmath>

namespace rendlow::audio {

namespace {

// Far below a sample and far above the rounding of a double time: an exact position that lies
// on a boundary but came out a hair after it stays on it.
constexpr double kPositionTolerance = 1e-6;

}  // namespace

int64_t renderFrameOf(const TempoMap& tempoMap, int64_t tick, int32_t blockFrames) {
  return blockBoundaryAtOrAfter(tempoMap.secondsAt(tick) * kRenderSampleRate, blockFrames);
}

int64_t blockBoundaryAtOrAfter(double exactFrame, int32_t blockFrames) {
  const double blocks = std::ceil((exactFrame - kPositionTolerance) / blockFrames);
  return static_cast<int64_t>(blocks) * blockFrames;
}

}  // namespace rendlow::audio
