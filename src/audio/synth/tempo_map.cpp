#include "audio/synth/tempo_map.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace rendlow::audio {

namespace {

constexpr int32_t kDefaultMicrosecondsPerQuarter = 500000;

// Far below a sample and far above the rounding of a double time: an exact position that lies
// on a boundary but came out a hair after it stays on it.
constexpr double kPositionTolerance = 1e-6;

}  // namespace

TempoMap::TempoMap(int32_t division, std::vector<TempoChange> changes)
    : microsecondsPerTickDivisor_(1e6 * division) {
  assert(division > 0);
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  pieces_.push_back({0, 0.0, kDefaultMicrosecondsPerQuarter});
  for (const TempoChange& change : changes) {
    const Piece& last = pieces_.back();
    const Piece piece{change.tick, secondsWithin(last, change.tick), change.microsecondsPerQuarter};
    if (change.tick == last.tick) {
      pieces_.back() = piece;
    } else {
      pieces_.push_back(piece);
    }
  }
}

double TempoMap::secondsAt(int64_t tick) const {
  // The last piece starting at or before the tick.
  auto after = std::upper_bound(pieces_.begin(), pieces_.end(), tick,
                                [](int64_t t, const Piece& piece) { return t < piece.tick; });
  return secondsWithin(after == pieces_.begin() ? pieces_.front() : *(after - 1), tick);
}

double TempoMap::secondsWithin(const Piece& piece, int64_t tick) const {
  return piece.seconds +
         static_cast<double>(tick - piece.tick) * piece.microsecondsPerQuarter / microsecondsPerTickDivisor_;
}

int64_t frameAt(double seconds, int32_t sampleRate) { return std::llround(seconds * sampleRate); }

int64_t renderFrameOf(const TempoMap& tempoMap, int64_t tick, int32_t blockFrames) {
  return blockBoundaryAtOrAfter(tempoMap.secondsAt(tick) * kRenderSampleRate, blockFrames);
}

int64_t blockBoundaryAtOrAfter(double exactFrame, int32_t blockFrames) {
  const double blocks = std::ceil((exactFrame - kPositionTolerance) / blockFrames);
  return static_cast<int64_t>(blocks) * blockFrames;
}

}  // namespace rendlow::audio
