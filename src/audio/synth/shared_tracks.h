#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "audio/synth/synth_session.h"
#include "audio/synth/rendering.h"
#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

// Several tracks of the song, none on a channel of another, played by one synthesizer with an
// output for each MIDI channel: a track's frames are those of its channels, as it sounds played
// alone (see TrackStream), so the song costs one pass of the synthesizer, not one a track.
class SharedTracks {
public:
  // `tracks` are the song's tracks by index; `indices` those played here, in order.
  SharedTracks(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap, const std::vector<std::vector<ChannelMessage>>& tracks,
               std::vector<std::size_t> indices);

  // Each of its tracks' next frames into blocks[index], `frames` of them until the track has
  // rung out, then fewer, then none.
  void next(int64_t frames, std::vector<AudioBuffer>& blocks);

private:
  struct Track {
    std::size_t index = 0;
    std::set<int> channels;
    std::size_t eventsLeft = 0;
    int64_t checkAt = -1;  // the next step of its ring-out, once its events are played
    int64_t ringLimit = 0;
    bool ended = false;
  };
  struct Event {
    int64_t frame = 0;
    std::size_t track = 0;  // in tracks_
    ChannelMessage message;
  };

  void playEventsAt(int64_t frame);
  void ringOutAt(int64_t frame);
  int64_t nextStop(int64_t target) const;
  void renderUntil(int64_t frame, std::vector<AudioBuffer>& blocks);

  std::unique_ptr<SynthSession> session_;
  std::vector<Track> tracks_;
  std::vector<Event> events_;  // of every track, by frame, each track's in its order
  std::size_t nextEvent_ = 0;
  int64_t rendered_ = 0;
  std::vector<AudioBuffer> channels_;
};

}  // namespace rendlow::audio
