#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/synth/synth_session.h"
#include "audio/synth/rendering.h"
#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

// A track of the song rendered a block at a time by a session of its own: its events at their
// render frames, then until it has rung out (at most kRingOutSeconds), as the whole render is.
class TrackStream {
public:
  TrackStream(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap, const std::vector<ChannelMessage>& events);

  // The next frames, `frames` of them until the track has rung out: then fewer, and then none.
  AudioBuffer next(int64_t frames);

  static constexpr double kRingOutSeconds = 10;
  static constexpr auto kRingOutFrames = static_cast<int64_t>(kRingOutSeconds * kRenderSampleRate);

private:
  void renderUntil(int64_t frame, AudioBuffer& out);
  // One step of the ring-out: render on, or end.
  void ringOn(int64_t target, AudioBuffer& out);

  std::unique_ptr<SynthSession> session_;
  const TempoMap* tempoMap_;
  const std::vector<ChannelMessage>* events_;
  std::size_t nextEvent_ = 0;
  int64_t rendered_ = 0;
  int64_t ringLimit_ = -1;  // once the last event is played
  int64_t stepEnd_ = 0;     // the end of the ring-out step under way
  bool ended_ = false;
};

}  // namespace rendlow::audio
