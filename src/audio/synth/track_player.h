#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "audio/synth/synth_session.h"
#include "audio/synth/tempo_map.h"
#include "audio/synth/rendering.h"
#include "base/result.h"

namespace rendlow::audio {

// Where each sound of a track lies in its rendering, in frames.
struct SoundFrames {
  int64_t start = 0;
  int64_t end = 0;
};

// Drives one session through a track's events at their render frames; before each sound's
// start, silences the track's channels.
class TrackPlayer {
public:
  TrackPlayer(SynthSession& session, const TempoMap& tempoMap);

  // The rendering of a track of the rendering file, to its last sound's end and then until it
  // has rung out (at most kRingOutSeconds), so the last sound keeps its release.
  AudioBuffer renderSounds(const RenderingFileTrack& track);
  // Called with the index of each sound of a track in turn, as soon as it is rendered, and the
  // frames held then: those of the render from `firstFrame` on, the sound's own. A sound that has
  // died away is handed over there, before its span ends: the rest would be silence the cut drops.
  using SoundRendered =
      std::function<Result<void>(std::size_t index, const AudioBuffer& frames, int64_t firstFrame)>;
  // The same rendering as renderSounds, handed over a sound at a time: only the sound being
  // rendered is held, however long the track. Stops at the first problem `rendered` returns.
  Result<void> streamSounds(const RenderingFileTrack& track, const SoundRendered& rendered);
  // The frames of each sound in what renderSounds returns; the last one ends with the render.
  std::vector<SoundFrames> soundFrames(const RenderingFileTrack& track) const;

  static constexpr double kRingOutSeconds = 10;
  static constexpr auto kRingOutFrames = static_cast<int64_t>(kRingOutSeconds * kRenderSampleRate);

private:
  // Called when the render has reached the start of sound `index` of the track.
  using SoundReached = std::function<Result<void>(std::size_t index)>;
  Result<void> playSounds(const RenderingFileTrack& track, const SoundReached& reached);
  int64_t frameOf(int64_t tick) const;
  int64_t renderedTo() const { return firstFrame_ + out_.frames(); }
  void renderTo(int64_t frame);
  bool skipSilence(int64_t frame);
  bool soundOver();
  void handOver();
  // The frames held so far let go.
  void letGo();
  void reserve(int64_t frames);
  void ringOut();
  void silenceBefore(int64_t soundFrame, const std::set<int>& channels);
  void play(const ChannelMessage& message);

  SynthSession& session_;
  const TempoMap& tempoMap_;
  // The frames rendered and still held: those from firstFrame_ on.
  AudioBuffer out_;
  int64_t firstFrame_ = 0;
  // The events of the sound last started have all been played.
  bool ownEventsPlayed_ = false;

  // While a track is streamed: the sound held, if any, whether it was heard in the frames
  // scanned so far, and the first problem handing a sound over met.
  struct Stream {
    explicit Stream(const SoundRendered& to) : rendered(&to) {}
    const SoundRendered* rendered;
    std::optional<std::size_t> held;
    bool heard = false;
    int64_t scannedTo = 0;
    Result<void> outcome;
  };
  std::optional<Stream> stream_;
};

}  // namespace rendlow::audio
