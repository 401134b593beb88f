#pragma once

// Builds a MidiTrack directly in memory, as the reader would leave it: events in time order,
// numbered and linked, the controller numbers collected, and every event's tempo link pointing
// at the tempo change in effect when it was read. Lets slicing tests and benchmarks state a
// track in a few lines without going through a file.

#include <cstdint>
#include <memory>
#include <vector>

#include "midi/song.h"

namespace rendlow::test {

class TrackMaker {
public:
  // Channel events; channel 0 to 15. Events at one tick keep the order of the calls.
  TrackMaker& noteOn(int32_t tick, int pitch, int velocity = 100, int channel = 0);
  TrackMaker& noteOff(int32_t tick, int pitch, int channel = 0);
  // A note-on and its note-off `length` ticks later.
  TrackMaker& note(int32_t tick, int32_t length, int pitch, int velocity = 100, int channel = 0);
  TrackMaker& controlChange(int32_t tick, int controller, int value, int channel = 0);
  TrackMaker& programChange(int32_t tick, int program, int channel = 0);
  // A Set Tempo meta event with its Tempo record.
  TrackMaker& tempo(int32_t tick, float bpm);
  TrackMaker& meta(int32_t tick, int type, std::vector<uint8_t> payload = {});
  TrackMaker& endOfTrack(int32_t tick);

  // Tempo changes that live in another track: the events link to them by tick, as the reader
  // links events to tempos read from earlier tracks.
  TrackMaker& useTempos(const TempoList& tempos);

  std::shared_ptr<MidiTrack> build();
  // The tempo records of the song: those given by useTempos, then the track's own.
  const TempoList& tempos() const { return tempos_; }

private:
  struct Pending {
    int32_t tick;
    uint8_t status;
    int32_t metaType;
    std::vector<uint8_t> data;
    float bpm;
  };
  TrackMaker& add(Pending event);

  std::vector<Pending> pending_;
  TempoList tempos_;
};

}  // namespace rendlow::test
