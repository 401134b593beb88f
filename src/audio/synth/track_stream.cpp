#include "audio/synth/track_stream.h"

#include <algorithm>
#include <utility>

namespace rendlow::audio {

TrackStream::TrackStream(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap, const std::vector<ChannelMessage>& events)
    : session_(std::move(session)), tempoMap_(&tempoMap), events_(&events) {}

AudioBuffer TrackStream::next(int64_t frames) {
  AudioBuffer out = emptyRender();
  out.samples.reserve(static_cast<std::size_t>(frames * out.channels));
  const int64_t target = rendered_ + frames;
  while (rendered_ < target && !ended_) {
    if (nextEvent_ == events_->size()) {
      ringOn(target, out);
      continue;
    }
    const ChannelMessage& event = (*events_)[nextEvent_];
    const int64_t at = renderFrameOf(*tempoMap_, event.tick, session_->blockFrames());
    if (at > rendered_) {
      renderUntil(std::min(at, target), out);
      continue;
    }
    session_->apply(event);
    ++nextEvent_;
  }
  return out;
}

// Steps of kRingOutStepFrames from the last event on, while the track sounds and until the
// limit is passed; a step may end past it, as the whole render's does.
void TrackStream::ringOn(int64_t target, AudioBuffer& out) {
  if (ringLimit_ < 0) {
    ringLimit_ = rendered_ + kRingOutFrames;
    stepEnd_ = rendered_;
  }
  if (rendered_ < stepEnd_) return renderUntil(std::min(stepEnd_, target), out);
  if (session_->sounding() && rendered_ < ringLimit_)
    stepEnd_ = rendered_ + kRingOutStepFrames;
  else
    ended_ = true;
}

void TrackStream::renderUntil(int64_t frame, AudioBuffer& out) {
  session_->renderTo(out.frames() + frame - rendered_, out);
  rendered_ = frame;
}

}  // namespace rendlow::audio
