// A playback measured as the sound comes, a block at a time: the figures and the lag do not depend on how the
// sound is cut into blocks, and the lag is found in a window of the reference's first sound however late that
// comes.

#include <gtest/gtest.h>

#include <tuple>

#include "audio/fidelity/fidelity.h"
#include "audio/fidelity/stream_comparison.h"
#include "audio/io/sound_stream.h"
#include "audio_test.h"
#include "support/case_table.h"

namespace rendlow::audio {
namespace {

AudioBuffer noiseOf(int32_t channels, int64_t frames, uint32_t seed, int32_t rate = 44100) {
  return {rate, channels, test::noise(static_cast<std::size_t>(frames * channels), seed)};
}

// Each comparison fed `reference` and `playback` in blocks of `block` frames.
std::tuple<SpectralFigures, WaveformFigures, double, int64_t> inBlocks(const AudioBuffer& reference,
                                                                       const AudioBuffer& playback, int64_t block) {
  SpectraComparison spectra(reference.channels);
  WaveformComparison waveforms(reference.sampleRate, reference.channels);
  LevelWatch level;
  BufferStream wanted(reference), played(playback);
  for (AudioBuffer r = wanted.next(block), p = played.next(block); r.frames() > 0; r = wanted.next(block), p = played.next(block)) {
    spectra.add(r, p);
    waveforms.add(r, p);
    level.add(p);
  }
  return {spectra.finish(), waveforms.finish(), level.peakDbfs(), level.audibleEnd()};
}

// Blocks shorter than a spectral frame, than its hop, and not lined up with the 50 ms stretches
// give the very figures the whole sound gives.
TEST(StreamedComparison, TheBlocksChangeNoFigure) {
  const AudioBuffer reference = test::delayed(noiseOf(2, 20000, 1), 3000);
  AudioBuffer playback = reference;
  for (std::size_t i = 0; i < playback.samples.size(); i += 3) playback.samples[i] *= 0.7f;
  std::fill(playback.samples.begin() + 2 * 9000, playback.samples.begin() + 2 * 15000, 0.0f);
  playback.samples.resize(playback.samples.size() - 2 * 700, 0.0f);
  playback.samples.resize(reference.samples.size(), 0.0f);
  const auto whole = inBlocks(reference, playback, reference.frames());
  const auto& [spectra, waveforms, peak, end] = whole;
  ASSERT_GT(waveforms.silentStretches, 0) << "the gap is told";
  ASSERT_EQ(end, reference.frames() - 700);
  for (int64_t block : {1, 7, 511, 2049, 4410}) {
    SCOPED_TRACE(block);
    const auto& [s, w, p, e] = inBlocks(reference, playback, block);
    EXPECT_EQ(s.logSpectralDistanceDb, spectra.logSpectralDistanceDb);
    EXPECT_EQ(s.spectralSnrDb, spectra.spectralSnrDb);
    EXPECT_EQ(std::tie(w.snrDb, w.worstStretchSeconds, w.worstStretchSnrDb, w.silentStretches, w.firstSilentStretchSeconds),
              std::tie(waveforms.snrDb, waveforms.worstStretchSeconds, waveforms.worstStretchSnrDb,
                       waveforms.silentStretches, waveforms.firstSilentStretchSeconds));
    EXPECT_EQ(std::tie(p, e), std::tie(peak, end));
  }
}

// The frames past the last whole stretch are a stretch of their own, in the song's figure too.
TEST(StreamedComparison, TheFramesShortOfAStretchCount) {
  const AudioBuffer reference = noiseOf(2, 2205 + 100, 3);
  AudioBuffer playback = reference;
  std::fill(playback.samples.end() - 2 * 100, playback.samples.end(), 0.0f);
  WaveformComparison waveforms(44100, 2);
  waveforms.add(reference, playback);
  const WaveformFigures figures = waveforms.finish();
  EXPECT_EQ(std::tuple(figures.worstStretchSeconds, figures.worstStretchSnrDb), std::tuple(0.05, 0.0));
  EXPECT_LT(figures.snrDb, 100);
}

// The lag is looked for from the reference's first sound on, however late it comes, and a
// reference that ends before the window is full is searched to its end.
TEST(StreamedComparison, FindsTheLagFromTheFirstSoundOn) {
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/lags.txt")) {
    SCOPED_TRACE(c.where);
    ASSERT_EQ(c.columns.size(), 4u);
    const int64_t silence = std::stoll(c.columns[1]), length = std::stoll(c.columns[2]), lag = std::stoll(c.columns[3]);
    const AudioBuffer sound = noiseOf(1, length, 5);
    const AudioBuffer reference = test::delayed(sound, silence);
    const AudioBuffer playback = test::delayed(sound, silence + lag);
    const FidelityFigures figures = comparePlayback(playback, reference);
    EXPECT_EQ(figures.lagFrames, lag);
    if (silence + lag >= 0) {
      EXPECT_GT(figures.waveformSnrDb, 200) << "lined up, the playback is the reference";
    }
  }
}

}  // namespace
}  // namespace rendlow::audio
