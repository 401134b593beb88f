#include "audio/synth/shared_tracks.h"

#include <algorithm>
#include <utility>

#include "audio/synth/track_stream.h"

namespace rendlow::audio {

SharedTracks::SharedTracks(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap,
                           const std::vector<std::vector<ChannelMessage>>& tracks, std::vector<std::size_t> indices)
    : session_(std::move(session)) {
  for (std::size_t t = 0; t < indices.size(); ++t) {
    const std::vector<ChannelMessage>& events = tracks[indices[t]];
    Track& track = tracks_.emplace_back(Track{indices[t], {}, events.size()});
    for (const ChannelMessage& event : events) {
      track.channels.insert(event.status & 0x0F);
      events_.push_back({renderFrameOf(tempoMap, event.tick, session_->blockFrames()), t, event});
    }
  }
  std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) { return a.frame < b.frame; });
  // A track without events rings out from the start: at once, as it sounds nothing.
  for (Track& track : tracks_)
    if (track.eventsLeft == 0) track.checkAt = 0;
}

void SharedTracks::next(int64_t frames, std::vector<AudioBuffer>& blocks) {
  for (const Track& track : tracks_) {
    blocks[track.index].samples.clear();
    blocks[track.index].samples.reserve(static_cast<std::size_t>(2 * frames));
  }
  const int64_t target = rendered_ + frames;
  while (rendered_ < target) {
    playEventsAt(rendered_);
    ringOutAt(rendered_);
    const int64_t stop = nextStop(target);
    if (stop <= rendered_) break;
    renderUntil(stop, blocks);
  }
}

// A track's ring-out starts where its last event is played, with its limit from there.
void SharedTracks::playEventsAt(int64_t frame) {
  for (; nextEvent_ < events_.size() && events_[nextEvent_].frame <= frame; ++nextEvent_) {
    const Event& event = events_[nextEvent_];
    session_->keepVoicesFree();
    session_->apply(event.message);
    Track& track = tracks_[event.track];
    if (--track.eventsLeft == 0) {
      track.checkAt = frame;
      track.ringLimit = frame + TrackStream::kRingOutFrames;
    }
  }
}

void SharedTracks::ringOutAt(int64_t frame) {
  for (Track& track : tracks_) {
    if (track.ended || track.checkAt != frame) continue;
    if (session_->soundingOn(track.channels) && frame < track.ringLimit)
      track.checkAt = frame + kRingOutStepFrames;
    else
      track.ended = true;
  }
}

// The next frame where an event is played or a track is asked whether it rang out; none once
// every track has.
int64_t SharedTracks::nextStop(int64_t target) const {
  if (std::all_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.ended; })) return rendered_;
  int64_t stop = target;
  if (nextEvent_ < events_.size()) stop = std::min(stop, events_[nextEvent_].frame);
  for (const Track& track : tracks_)
    if (!track.ended && track.checkAt >= 0) stop = std::min(stop, track.checkAt);
  return stop;
}

// Each track that still sounds takes the sum of its channels, in their order.
void SharedTracks::renderUntil(int64_t frame, std::vector<AudioBuffer>& blocks) {
  session_->renderChannels(frame - rendered_, channels_);
  for (const Track& track : tracks_) {
    if (track.ended) continue;
    AudioBuffer& block = blocks[track.index];
    const std::size_t first = block.samples.size();
    block.samples.resize(first + channels_[0].samples.size(), 0.0f);
    for (const int channel : track.channels) {
      const std::vector<float>& samples = channels_[static_cast<std::size_t>(channel)].samples;
      for (std::size_t i = 0; i < samples.size(); ++i) block.samples[first + i] += samples[i];
    }
  }
  rendered_ = frame;
}

}  // namespace rendlow::audio
