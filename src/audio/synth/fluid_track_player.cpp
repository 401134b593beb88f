#include "audio/synth/fluid_track_player.h"

#include <algorithm>
#include <limits>
#include <set>

#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

namespace {

// How often a ringing track is asked whether it still sounds: about 23 ms.
constexpr int64_t kRingOutStepFrames = 1024;
// The render let go at a time before a streamed track's first sound: about 1.5 s.
constexpr int64_t kLetGoFrames = 65536;

std::set<int> channelsOf(const std::vector<ChannelMessage>& events) {
  std::set<int> channels;
  for (const ChannelMessage& event : events) channels.insert(event.status & 0x0F);
  return channels;
}

}  // namespace

TrackPlayer::TrackPlayer(SynthSession& session, const TempoMap& tempoMap)
    : session_(session), tempoMap_(tempoMap), out_(emptyRender()) {}

AudioBuffer TrackPlayer::renderSounds(const RenderingFileTrack& track) {
  if (!track.sounds.empty()) reserve(frameOf(track.sounds.back().endTick) + kRingOutFrames);
  (void)playSounds(track, [](std::size_t) { return Result<void>{}; });
  return std::move(out_);
}

// Each sound is handed over when the next one starts, or the track has rung out; the frames
// before it, of the sound before or of no sound, are let go as it starts.
Result<void> TrackPlayer::streamSounds(const RenderingFileTrack& track, const SoundRendered& rendered) {
  auto handOver = [&](std::size_t index) -> Result<void> {
    if (index > 0) {
      if (Result<void> done = rendered(index - 1, out_, firstFrame_); !done) return done;
    }
    letGo();
    holdingNothing_ = false;
    return {};
  };
  holdingNothing_ = true;
  if (Result<void> played = playSounds(track, handOver); !played) return played;
  if (track.sounds.empty()) return {};
  return rendered(track.sounds.size() - 1, out_, firstFrame_);
}

Result<void> TrackPlayer::playSounds(const RenderingFileTrack& track, const SoundReached& reached) {
  const std::set<int> channels = channelsOf(track.events);
  std::size_t nextSound = 0;
  auto startSoundsUpTo = [&](int64_t tick) -> Result<void> {
    for (; nextSound < track.sounds.size() && track.sounds[nextSound].startTick <= tick; ++nextSound) {
      silenceBefore(frameOf(track.sounds[nextSound].startTick), channels);
      if (Result<void> done = reached(nextSound); !done) return done;
    }
    return {};
  };
  for (const ChannelMessage& event : track.events) {
    if (Result<void> started = startSoundsUpTo(event.tick); !started) return started;
    play(event);
  }
  if (Result<void> started = startSoundsUpTo(INT64_MAX); !started) return started;
  if (!track.sounds.empty()) renderTo(frameOf(track.sounds.back().endTick));
  ringOut();
  return {};
}

std::vector<SoundFrames> TrackPlayer::soundFrames(const RenderingFileTrack& track) const {
  std::vector<SoundFrames> frames;
  for (const RenderingFileSound& sound : track.sounds)
    frames.push_back({frameOf(sound.startTick), frameOf(sound.endTick)});
  // No sound comes after the last one to end it: it lasts until the render has rung out.
  if (!frames.empty()) frames.back().end = std::numeric_limits<int64_t>::max();
  return frames;
}

// Before a streamed track's first sound the render is let go as it comes: the track's sounds
// follow those of every track before it in the rendering file, a silence that grows with the song.
void TrackPlayer::renderTo(int64_t frame) {
  while (holdingNothing_ && frame - renderedTo() > kLetGoFrames) {
    session_.renderTo(out_.frames() + kLetGoFrames, out_);
    letGo();
  }
  session_.renderTo(frame - firstFrame_, out_);
}

void TrackPlayer::letGo() {
  firstFrame_ = renderedTo();
  out_.samples.clear();
}

void TrackPlayer::ringOut() {
  const int64_t limit = renderedTo() + kRingOutFrames;
  while (session_.sounding() && renderedTo() < limit) renderTo(renderedTo() + kRingOutStepFrames);
}

// One block early: FluidSynth ends a killed voice only while it renders the next block, and a
// pedal released or a note of the same key played before then would call the voice back into
// its release. The block before a sound is the silence the rendering file leaves between
// sounds, and the cut of the sound before ends at the boundary anyway.
void TrackPlayer::silenceBefore(int64_t soundFrame, const std::set<int>& channels) {
  renderTo(soundFrame - session_.blockFrames());
  session_.silence(channels);
  renderTo(soundFrame);
}

// A track of a long song renders to hundreds of megabytes: grown as it renders, the buffer would
// be copied at every doubling and hold up to three times that for a moment.
void TrackPlayer::reserve(int64_t frames) {
  out_.samples.reserve(static_cast<std::size_t>(std::max<int64_t>(frames, 0) * out_.channels));
}

int64_t TrackPlayer::frameOf(int64_t tick) const {
  return renderFrameOf(tempoMap_, tick, session_.blockFrames());
}

void TrackPlayer::play(const ChannelMessage& message) {
  renderTo(frameOf(message.tick));
  session_.apply(message);
}

}  // namespace rendlow::audio
