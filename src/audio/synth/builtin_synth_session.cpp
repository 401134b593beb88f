#include "audio/synth/builtin_synth_session.h"

#include <algorithm>
#include <array>
#include <utility>

#include "audio/synth/soundfont/sound_font_reader.h"

namespace rendlow::audio {

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kSustain = 64;

// The SoundFont read once and shared, unchanged, by every session opened over it.
class BuiltinSynthSessions final : public SynthSessions {
public:
  explicit BuiltinSynthSessions(std::shared_ptr<const soundfont::SoundFont> font) : font_(std::move(font)) {}
  Result<std::unique_ptr<SynthSession>> open(int tracks) const override {
    return std::unique_ptr<SynthSession>(std::make_unique<BuiltinSynthSession>(font_, tracks));
  }

private:
  std::shared_ptr<const soundfont::SoundFont> font_;
};

}  // namespace

BuiltinSynthSession::BuiltinSynthSession(std::shared_ptr<const soundfont::SoundFont> font, int tracks)
    : synthesizer_(std::move(font), kRenderSampleRate,
                   soundfont::Synthesizer::kMaxVoices * static_cast<std::size_t>(std::max(tracks, 1))) {}

// The synthesizer adds into what it is given: the frames it renders are zeroes first.
void BuiltinSynthSession::renderTo(int64_t frame, AudioBuffer& out) {
  if (out.frames() >= frame) return;
  const int64_t first = out.frames();
  out.samples.resize(static_cast<std::size_t>(2 * frame), 0.0f);
  synthesizer_.render(frame - first, out.samples.data() + 2 * first);
}

void BuiltinSynthSession::renderChannels(int64_t frames, std::vector<AudioBuffer>& channels) {
  channels.resize(kMidiChannels, emptyRender());
  std::array<float*, soundfont::Synthesizer::kChannels> outputs{};
  for (std::size_t channel = 0; channel < outputs.size(); ++channel) {
    channels[channel].samples.assign(static_cast<std::size_t>(2 * frames), 0.0f);
    outputs[channel] = channels[channel].samples.data();
  }
  synthesizer_.renderChannels(frames, outputs);
}

void BuiltinSynthSession::apply(const ChannelMessage& message) {
  synthesizer_.apply(message.status, message.data1, message.data2);
}

// The pedal first, so that no voice it held is let go into a release after the cut.
void BuiltinSynthSession::silence(const std::set<int>& channels) {
  for (const int channel : channels) {
    synthesizer_.apply(static_cast<uint8_t>(kControlChange | channel), kSustain, 0);
    synthesizer_.silence(channel);
  }
}

bool BuiltinSynthSession::soundingOn(const std::set<int>& channels) const {
  return std::any_of(channels.begin(), channels.end(),
                     [this](int channel) { return synthesizer_.soundingOn(channel); });
}

Result<std::unique_ptr<SynthSessions>> builtinSynthSessions(const std::string& soundFont) {
  Result<soundfont::SoundFont> font = soundfont::loadSoundFont(soundFont);
  if (!font) return font.problem();
  return std::unique_ptr<SynthSessions>(
      std::make_unique<BuiltinSynthSessions>(std::make_shared<const soundfont::SoundFont>(std::move(*font))));
}

int32_t builtinSynthBlockFrames() { return soundfont::Synthesizer::kBlockFrames; }

}  // namespace rendlow::audio
