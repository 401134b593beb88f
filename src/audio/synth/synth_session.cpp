#include "audio/synth/synth_session.h"

namespace rendlow::audio {

std::set<int> channelsOf(const std::vector<ChannelMessage>& events) {
  std::set<int> channels;
  for (const ChannelMessage& event : events) channels.insert(event.status & 0x0F);
  return channels;
}

AudioBuffer emptyRender() { return AudioBuffer{kRenderSampleRate, 2, {}}; }

}  // namespace rendlow::audio
