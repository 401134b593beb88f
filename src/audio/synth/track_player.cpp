#include "audio/synth/track_player.h"

#include <algorithm>
#include <limits>
#include <set>

#include "audio/cut/sound_cut.h"
#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

namespace {

// The steps a streamed render goes in: about 23 ms.
constexpr int64_t kStreamStepFrames = 1024;

}  // namespace

TrackPlayer::TrackPlayer(SynthSession& session, const TempoMap& tempoMap)
    : session_(session), tempoMap_(tempoMap), out_(emptyRender()) {}

AudioBuffer TrackPlayer::renderSounds(const RenderingFileTrack& track) {
  if (!track.sounds.empty()) reserve(frameOf(track.sounds.back().endTick) + kRingOutFrames);
  (void)playSounds(track, [](std::size_t) { return Result<void>{}; });
  return std::move(out_);
}

// Each sound is handed over once its own events are played and the synthesizer has fallen
// silent, or else when the next one starts, or the track has rung out; the frames before it, of
// the sound before or of no sound, are let go as it starts.
Result<void> TrackPlayer::streamSounds(const RenderingFileTrack& track, const SoundRendered& rendered) {
  stream_.emplace(rendered);
  Result<void> played = playSounds(track, [&](std::size_t index) {
    handOver();
    letGo();
    stream_->held = index;
    stream_->heard = false;
    stream_->scannedTo = 0;
    return stream_->outcome;
  });
  if (played) handOver();
  Result<void> outcome = played ? stream_->outcome : played;
  stream_.reset();
  return outcome;
}

Result<void> TrackPlayer::playSounds(const RenderingFileTrack& track, const SoundReached& reached) {
  const std::set<int> channels = channelsOf(track.events);
  std::size_t nextSound = 0;
  auto startSoundsUpTo = [&](int64_t tick) -> Result<void> {
    for (; nextSound < track.sounds.size() && track.sounds[nextSound].startTick <= tick; ++nextSound) {
      silenceBefore(frameOf(track.sounds[nextSound].startTick), channels);
      ownEventsPlayed_ = false;
      if (Result<void> done = reached(nextSound); !done) return done;
    }
    return {};
  };
  for (auto event = track.events.begin(); event != track.events.end(); ++event) {
    if (Result<void> started = startSoundsUpTo(event->tick); !started) return started;
    play(*event);
    const int64_t nextEventTick = std::next(event) == track.events.end() ? INT64_MAX : std::next(event)->tick;
    ownEventsPlayed_ = nextSound == track.sounds.size() || nextEventTick >= track.sounds[nextSound].startTick;
  }
  if (Result<void> started = startSoundsUpTo(INT64_MAX); !started) return started;
  ownEventsPlayed_ = true;
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

// Streamed, the render goes in steps: before a track's first sound it is let go as it comes
// (the track's sounds follow the silence of every track before it in the rendering file), and a
// sound is handed over as soon as it is over, not held through the silence to the next one.
void TrackPlayer::renderTo(int64_t frame) {
  if (!stream_) return session_.renderTo(frame - firstFrame_, out_);
  while (renderedTo() < frame) {
    if (skipSilence(frame)) continue;
    session_.renderTo(std::min(frame, renderedTo() + kStreamStepFrames) - firstFrame_, out_);
    if (!stream_->held) letGo();
    else if (soundOver()) handOver();
  }
}

// Over once its events are played, something of it was heard, the synthesizer has fallen silent
// and the render ends on an inaudible frame: everything after is silence, which the cut would
// drop, so the sound cut from what is held is the sound cut from its whole span. A sound silent
// throughout keeps its whole span instead, as the cut wants.
bool TrackPlayer::soundOver() {
  if (!ownEventsPlayed_ || session_.sounding()) return false;
  if (!stream_->heard) {
    stream_->heard = !isSilent(out_, stream_->scannedTo);
    stream_->scannedTo = out_.frames();
  }
  return stream_->heard && isSilent(out_, out_.frames() - 1);
}

// Between sounds, where nothing is held, a synthesizer without a voice would only render
// silence: its blocks up to `frame` are passed over instead. Nothing it holds counts the blocks
// it renders (a voice keeps its own time from its start), so what it renders after is the same.
bool TrackPlayer::skipSilence(int64_t frame) {
  if (stream_->held || session_.sounding()) return false;
  const int64_t block = session_.blockFrames();
  const int64_t blocks = renderedTo() % block == 0 ? (frame - renderedTo()) / block : 0;
  firstFrame_ += blocks * block;
  return blocks > 0;
}

// Hands the sound held over, if there is one; a problem in doing so stops the stream.
void TrackPlayer::handOver() {
  if (!stream_->held) return;
  if (stream_->outcome) stream_->outcome = (*stream_->rendered)(*stream_->held, out_, firstFrame_);
  stream_->held.reset();
  letGo();
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
