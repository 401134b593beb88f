#pragma once

// What the meta events of a file set in its song as they are read: each track's name, the tempo
// map (and, for every event, the tempo change in effect at its tick), and the time signatures.

#include "base/diagnostics.h"
#include "midi/in_effect_index.h"
#include "midi/song.h"

namespace rendlow {

class SongMeta {
public:
  SongMeta(Song& song, Diagnostics& diagnostics) : song_(song), diagnostics_(diagnostics) {}

  // Takes in a meta event just read into `track`, the song's last track.
  void apply(MidiTrack& track, MidiEvent& event);
  // Points the event at the tempo change in effect at its tick, as far as the file has been read.
  void linkTempo(MidiEvent& event);
  // A Set Tempo of 0 microseconds per quarter note would make an infinite BPM: no tempo a chart or
  // a rendering file can hold.
  bool setsNoTempo(const MidiEvent& event) const;

private:
  void addTempo(MidiEvent& event);
  void addTimeSignature(MidiEvent& event);

  Song& song_;
  Diagnostics& diagnostics_;
  InEffectIndex tempoIndex_;
};

}  // namespace rendlow
