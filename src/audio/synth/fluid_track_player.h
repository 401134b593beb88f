#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "audio/synth/fluid_synth_session.h"
#include "audio/synth/tempo_map.h"
#include "audio/synth/rendering.h"

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
  // The rendering of a track of the song, until it has rung out (at most kRingOutSeconds).
  AudioBuffer renderToSilence(const std::vector<ChannelMessage>& events);
  // The frames of each sound in what renderSounds returns; the last one ends with the render.
  std::vector<SoundFrames> soundFrames(const RenderingFileTrack& track) const;

  static constexpr double kRingOutSeconds = 10;
  static constexpr auto kRingOutFrames = static_cast<int64_t>(kRingOutSeconds * kRenderSampleRate);

private:
  int64_t frameOf(int64_t tick) const;
  void reserve(int64_t frames);
  void ringOut();
  void silenceBefore(int64_t soundFrame, const std::set<int>& channels);
  void play(const ChannelMessage& message);

  SynthSession& session_;
  const TempoMap& tempoMap_;
  AudioBuffer out_;
};

}  // namespace rendlow::audio
