#pragma once

#include <memory>
#include <set>
#include <vector>

#include "audio/synth/soundfont/sound_font.h"
#include "audio/synth/soundfont/synthesizer.h"
#include "audio/synth/synth_session.h"

namespace rendlow::audio {

// Rendlow's own synthesizer with a SoundFont loaded (see SynthSession). A session for many tracks
// has as many voices as that many synthesizers, made as notes need them.
class BuiltinSynthSession final : public SynthSession {
public:
  BuiltinSynthSession(std::shared_ptr<const soundfont::SoundFont> font, int tracks);

  void renderTo(int64_t frame, AudioBuffer& out) override;
  void renderChannels(int64_t frames, std::vector<AudioBuffer>& channels) override;
  void apply(const ChannelMessage& message) override;
  // Nothing to do: its voices are made as notes need them, up to its tracks' worth.
  void keepVoicesFree() override {}
  void silence(const std::set<int>& channels) override;
  bool sounding() const override { return synthesizer_.sounding(); }
  bool soundingOn(const std::set<int>& channels) const override;
  int32_t blockFrames() const override { return soundfont::Synthesizer::kBlockFrames; }

private:
  soundfont::Synthesizer synthesizer_;
};

}  // namespace rendlow::audio
