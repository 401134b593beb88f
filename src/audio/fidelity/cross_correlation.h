#pragma once

#include <cstdint>
#include <vector>

namespace rendlow::audio {

// The lag by which `signal` runs late against `reference` (signal[n] ≈ reference[n - lag]):
// the lag within ±maxLag where their cross-correlation peaks, and of equal peaks the one
// nearest zero. Computed block by block with FFTs, so memory stays bounded by the lag range
// however long the song.
int64_t bestLag(const std::vector<float>& reference, const std::vector<float>& signal, int64_t maxLag);

}  // namespace rendlow::audio
