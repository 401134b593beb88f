// Frames where the reference and the playback are both silent are passed over by the spectra;
// every frame where either sounds counts, however little of it sounds.

#include <gtest/gtest.h>

#include <cmath>

#include "audio/fidelity/frequency_comparison.h"
#include "audio_test.h"
#include "support/case_table.h"

namespace rendlow::audio {
namespace {

constexpr int64_t kFrames = 12000;

// Stereo silence with a sound of `length` frames from `first` on, never zero while it lasts.
AudioBuffer soundAt(int64_t first, int64_t length) {
  AudioBuffer buffer{44100, 2, std::vector<float>(2 * kFrames, 0.0f)};
  const std::vector<float> noise = test::noise(static_cast<std::size_t>(2 * length), 9);
  for (int64_t i = 0; i < 2 * length; ++i) buffer.samples[2 * first + i] = 0.5f * (1 + noise[i]);
  return buffer;
}

TEST(SilentFrames, ASoundOnlyOneSideHasCountsInEveryFrameItReaches) {
  const AudioBuffer silence{44100, 2, std::vector<float>(2 * kFrames, 0.0f)};
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/silent_frames.txt")) {
    SCOPED_TRACE(c.where);
    ASSERT_EQ(c.columns.size(), 5u);
    const AudioBuffer sound = soundAt(std::stoll(c.columns[2]), std::stoll(c.columns[3]));
    const bool referenceSounds = c.columns[1] == "reference";
    SpectraComparison spectra(2);
    spectra.add(referenceSounds ? sound : silence, referenceSounds ? silence : sound);
    const SpectralFigures figures = spectra.finish();
    const double expected = std::stod(c.columns[4]);
    if (std::isinf(expected)) {
      EXPECT_LT(figures.spectralSnrDb, -200);
    } else {
      EXPECT_NEAR(figures.spectralSnrDb, expected, 1e-6);  // the spectra's floats round at about 1e-7
    }
  }
}

}  // namespace
}  // namespace rendlow::audio
