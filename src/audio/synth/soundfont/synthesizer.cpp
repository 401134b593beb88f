#include "audio/synth/soundfont/synthesizer.h"

#include <algorithm>

namespace rendlow::audio::soundfont {

namespace {

constexpr int kDrumChannel = 9;
constexpr int kPercussionBank = 128;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;

}  // namespace

Synthesizer::Synthesizer(std::shared_ptr<const SoundFont> font, double rate, std::size_t maxVoices)
    : font_(std::move(font)), rate_(rate), maxVoices_(maxVoices), block_(static_cast<std::size_t>(kChannels * 2 * kBlockFrames)) {
  for (int channel = 0; channel < kChannels; ++channel) channels_.emplace_back(channel == kDrumChannel);
  for (std::size_t i = 0; i < font_->presets.size(); ++i) {
    presets_.try_emplace({font_->presets[i].bank, font_->presets[i].program}, i);
  }
}

void Synthesizer::apply(uint8_t status, uint8_t data1, uint8_t data2) {
  const int channel = status & 0x0F;
  const int first = data1 & 0x7F, second = data2 & 0x7F;
  ChannelState& state = channels_[static_cast<std::size_t>(channel)];
  switch (status & 0xF0) {
    case 0x80:
      noteOff(channel, first);
      break;
    case 0x90:
      if (second == 0) {
        noteOff(channel, first);
      } else {
        noteOn(channel, first, second);
      }
      break;
    case 0xA0:
      state.keyPressure(first, second);
      break;
    case 0xB0:
      control(channel, first, second);
      break;
    case 0xC0:
      state.programChange(first);
      break;
    case 0xD0:
      state.channelPressure(first);
      break;
    case 0xE0:
      state.pitchBend(first | second << 7);
      break;
    default:
      break;
  }
}

// The selected preset; one the SoundFont lacks falls back to the same program of the melodic (or
// percussion) bank, then to its first program.
const Preset* Synthesizer::presetFor(const ChannelState& channel) const {
  const int home = channel.drums() ? kPercussionBank : 0;
  for (const auto& key : {std::pair{channel.bank(), channel.program()}, std::pair{home, channel.program()},
                          std::pair{home, 0}}) {
    if (const auto found = presets_.find(key); found != presets_.end()) return &font_->presets[found->second];
  }
  return nullptr;
}

// A key struck again is let go first; a voice of an exclusive class silences the others of its
// class on the channel (an open hi-hat cut by a closed one).
void Synthesizer::noteOn(int channel, int key, int velocity) {
  noteOff(channel, key);
  const ChannelState& state = channels_[static_cast<std::size_t>(channel)];
  const Preset* preset = presetFor(state);
  if (!preset) return;
  const std::size_t firstNew = voices_.size();
  for (VoiceSetup& setup : voicesFor(*font_, *preset, key, velocity)) {
    const int exclusive = static_cast<int>(setup.generators[kExclusiveClass]);
    if (exclusive != 0) {
      for (std::size_t i = 0; i < firstNew; ++i) {
        if (voices_[i].channel == channel && voices_[i].voice.exclusiveClass() == exclusive)
          voices_[i].voice.choke();
      }
    }
    makeRoom();
    voices_.push_back({Voice(*font_, std::move(setup), state, key, velocity, rate_), channel, false});
  }
}

void Synthesizer::noteOff(int channel, int key) {
  const bool pedal = channels_[static_cast<std::size_t>(channel)].sustained();
  for (Playing& playing : voices_) {
    if (playing.channel != channel || playing.voice.key() != key || playing.voice.released()) continue;
    if (pedal) {
      playing.sustained = true;
    } else {
      playing.voice.release();
    }
  }
}

void Synthesizer::releaseSustained(int channel) {
  for (Playing& playing : voices_) {
    if (playing.channel == channel && playing.sustained) {
      playing.sustained = false;
      playing.voice.release();
    }
  }
}

void Synthesizer::control(int channel, int controller, int value) {
  ChannelState& state = channels_[static_cast<std::size_t>(channel)];
  state.control(controller, value);
  if (controller == ChannelState::kSustain && !state.sustained()) releaseSustained(channel);
  if (controller == kAllSoundOff) silence(channel);
  if (controller == kAllNotesOff) {
    for (Playing& playing : voices_) {
      if (playing.channel == channel) noteOff(channel, playing.voice.key());
    }
  }
}

// At the limit the oldest voice let go gives way, or else the oldest of all.
void Synthesizer::makeRoom() {
  std::erase_if(voices_, [](const Playing& playing) { return playing.voice.finished(); });
  if (voices_.size() < maxVoices_) return;
  auto oldest =
      std::find_if(voices_.begin(), voices_.end(), [](const Playing& p) { return p.voice.released(); });
  voices_.erase(oldest != voices_.end() ? oldest : voices_.begin());
}

void Synthesizer::silence(int channel) {
  for (Playing& playing : voices_) {
    if (playing.channel == channel) playing.voice.cut();
  }
  std::erase_if(voices_, [](const Playing& playing) { return playing.voice.finished(); });
}

bool Synthesizer::soundingOn(int channel) const {
  return std::any_of(voices_.begin(), voices_.end(),
                     [channel](const Playing& p) { return p.channel == channel; });
}

// Each channel's block, left then right, one after the other.
void Synthesizer::renderBlock() {
  std::fill(block_.begin(), block_.end(), 0.0f);
  for (Playing& playing : voices_) {
    float* left = block_.data() + static_cast<std::size_t>(playing.channel * 2 * kBlockFrames);
    playing.voice.render(kBlockFrames, left, left + kBlockFrames);
  }
  std::erase_if(voices_, [](const Playing& playing) { return playing.voice.finished(); });
  blockUsed_ = 0;
}

void Synthesizer::renderChannels(int64_t frames, const std::array<float*, kChannels>& channels) {
  for (int64_t done = 0; done < frames;) {
    if (blockUsed_ == kBlockFrames) renderBlock();
    const int64_t count = std::min(frames - done, kBlockFrames - blockUsed_);
    for (std::size_t channel = 0; channel < kChannels; ++channel) {
      const float* left = block_.data() + channel * 2 * kBlockFrames + blockUsed_;
      float* out = channels[channel] + 2 * done;
      for (int64_t i = 0; i < count; ++i) {
        out[2 * i] += left[i];
        out[2 * i + 1] += left[kBlockFrames + i];
      }
    }
    done += count;
    blockUsed_ += count;
  }
}

void Synthesizer::render(int64_t frames, float* out) {
  std::array<float*, kChannels> all{};
  all.fill(out);
  renderChannels(frames, all);
}

}  // namespace rendlow::audio::soundfont
