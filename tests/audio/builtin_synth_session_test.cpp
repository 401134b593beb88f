// The built-in synthesizer as the rendering drives it, through the session interface it shares
// with FluidSynth: channels heard apart, channels silenced, voices for many tracks, and sounds
// starting where a block begins, on a SoundFont small enough to know every sample of.

#include "audio/synth/builtin_synth_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "audio/synth/rendering.h"
#include "audio/synth/synth_session.h"
#include "support/midi_builder.h"
#include "support/sound_font_builder.h"
#include "support/temp_dir.h"

namespace rendlow::audio {
namespace {

using test::FontHeader;
using test::FontZone;
using test::SoundFontBuilder;

// One preset of one instrument: a looped sine at half of full scale on every key, sounding until
// its note ends, then ending at once.
class OneSineFont : public ::testing::Test {
protected:
  void SetUp() override {
    SoundFontBuilder font;
    std::vector<int16_t> points = test::sinePoints(100, 44, 0.5);
    const auto size = static_cast<uint32_t>(points.size());
    font.samples = {{"sine", std::move(points), 0, size, 44100, 60, 0}};
    font.instruments = {
        FontHeader{"i", 0, 0, {FontZone{{{soundfont::kSampleModes, 1}, {soundfont::kSampleId, 0}}, {}}}}};
    font.presets = {FontHeader{"p", 0, 0, {FontZone{{{soundfont::kInstrument, 0}}, {}}}}};
    test::writeBytes(path, font.bytes());
    Result<SoundFontHold> opened = SoundFontHold::open(path, Synth::Builtin);
    ASSERT_TRUE(opened.ok());
    hold = std::make_unique<SoundFontHold>(std::move(*opened));
  }

  std::unique_ptr<SynthSession> session(int tracks) {
    Result<std::unique_ptr<SynthSession>> opened = hold->sessions().open(tracks);
    EXPECT_TRUE(opened.ok());
    return opened ? std::move(*opened) : nullptr;
  }

  test::TempDir folder;
  const std::string path = folder.file("sine.sf2");
  std::unique_ptr<SoundFontHold> hold;
};

ChannelMessage noteOn(int channel, int key) {
  return {0, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), 100};
}

float peak(const std::vector<float>& samples) {
  float most = 0;
  for (float sample : samples) most = std::max(most, std::abs(sample));
  return most;
}

// Each channel alone, block after block, adds up to the mix a session for one track renders.
TEST_F(OneSineFont, TheChannelsRenderedApartAddUpToTheMix) {
  std::unique_ptr<SynthSession> apart = session(2);
  std::unique_ptr<SynthSession> mixed = session(1);
  for (SynthSession* synth : {apart.get(), mixed.get()}) {
    synth->apply(noteOn(0, 60));
    synth->apply(noteOn(3, 67));
  }
  AudioBuffer mix = emptyRender();
  std::vector<AudioBuffer> channels;
  for (const int64_t frames : {1000, 333}) {
    const int64_t first = mix.frames();
    mixed->renderTo(first + frames, mix);
    apart->renderChannels(frames, channels);
    ASSERT_EQ(channels.size(), 16u);
    EXPECT_GT(peak(channels[0].samples), 0.01f);
    EXPECT_GT(peak(channels[3].samples), 0.01f);
    for (int silent : {1, 2, 9, 15})
      EXPECT_EQ(peak(channels[static_cast<std::size_t>(silent)].samples), 0.0f) << silent;
    for (int64_t i = 0; i < 2 * frames; ++i) {
      const auto at = static_cast<std::size_t>(i);
      ASSERT_NEAR(channels[0].samples[at] + channels[3].samples[at],
                  mix.samples[static_cast<std::size_t>(2 * first) + at], 1e-6f)
          << frames << " " << i;
    }
  }
}

// A channel silenced falls quiet at once, its pedal let go, so that its next note ends with its
// note-off; the other channels play on.
TEST_F(OneSineFont, SilencingAChannelEndsItsVoicesAndLetsGoOfItsPedal) {
  std::unique_ptr<SynthSession> synth = session(1);
  synth->apply({0, 0xB0, 64, 127});
  synth->apply(noteOn(0, 60));
  synth->apply(noteOn(1, 64));
  synth->silence({0});
  EXPECT_FALSE(synth->soundingOn({0}));
  EXPECT_TRUE(synth->soundingOn({1}) && synth->sounding());
  synth->apply(noteOn(0, 62));
  synth->apply({0, 0x80, 62, 0});
  AudioBuffer out = emptyRender();
  synth->renderTo(4410, out);
  EXPECT_FALSE(synth->soundingOn({0}));
  EXPECT_TRUE(synth->soundingOn({0, 1}));
}

// A session for two tracks keeps the voices of the first even when the second alone fills a
// track's worth: nothing of one track is taken for another.
TEST_F(OneSineFont, ASessionForManyTracksHasEveryTracksVoices) {
  for (const auto& [tracks, firstKept] : {std::pair{1, false}, std::pair{2, true}}) {
    std::unique_ptr<SynthSession> synth = session(tracks);
    for (int key = 0; key < 10; ++key) synth->apply(noteOn(0, key));
    for (int voice = 0; voice < 256; ++voice) {
      synth->keepVoicesFree();
      synth->apply(noteOn(1 + voice % 3, voice / 3));
    }
    EXPECT_EQ(synth->soundingOn({0}), firstKept) << tracks;
  }
}

// A note starts where the block at or after its time begins, as with FluidSynth, so a chart's
// playback of the sounds lines up with the song the same synthesizer renders.
TEST_F(OneSineFont, ATracksNotesStartWhereABlockBegins) {
  const TempoMap tempo(480, {{0, 500000}});
  // The chart's playback is placed by the one, the song's events by the other.
  EXPECT_EQ(synthBlockFrames(Synth::Builtin), 64);
  EXPECT_EQ(session(1)->blockFrames(), 64);
  EXPECT_EQ(renderFrameOf(tempo, 7, 64), 384);
  for (const int64_t tick : {0, 7, 100, 481}) {
    const RenderingFileTrack track{
        "tr01", {{tick, 0x90, 60, 100}, {tick + 240, 0x80, 60, 0}}, {{"tr01_01.wav", tick, tick + 480}}};
    Result<AudioBuffer> rendered = renderTrackAudio(track, tempo, path, Synth::Builtin);
    ASSERT_TRUE(rendered.ok());
    const auto first =
        std::find_if(rendered->samples.begin(), rendered->samples.end(), [](float s) { return s != 0.0f; });
    ASSERT_NE(first, rendered->samples.end()) << tick;
    // The envelope's delay and the sine's first point, zero, put off what is heard alike
    // wherever the note starts: by a block and a frame.
    const int64_t heard = (first - rendered->samples.begin()) / 2;
    EXPECT_EQ(heard, renderFrameOf(tempo, tick, 64) + 65) << tick;
  }
}

}  // namespace
}  // namespace rendlow::audio
