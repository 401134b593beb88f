// The MIDI reader on arbitrary bytes: whatever a sequencer exported, reading must end, stay inside
// the file and keep a consistent song.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "midi/midi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace rendlow;
  RunningStatus running;
  Diagnostics silent;
  const Result<Song> read = readMidiBytes(std::vector<uint8_t>(data, data + size), running, silent);
  if (!read) return 0;
  const Song& song = *read;
  for (const MidiTrack& track : song.tracks) {
    for (std::size_t i = 0; i < track.events.size(); ++i) {
      const MidiEvent& event = track.events[i];
      // Every event is numbered by its place, lies within the song, and holds the bytes it claims.
      if (event.index != static_cast<int32_t>(i) || event.tick < 0 || event.tick > song.songEnd) std::abort();
      if (!event.isMeta(kMetaEndOfTrack) &&
          song.dataOf(event).size() != static_cast<std::size_t>(event.length))
        std::abort();
      if (event.tempo != kNone && static_cast<std::size_t>(event.tempo) >= song.tempos.size()) std::abort();
    }
  }
  for (const Tempo& tempo : song.tempos) {
    // Every tempo change leads to its own Set Tempo event.
    const MidiEvent& event = song.tracks.at(static_cast<std::size_t>(tempo.track))
                                 .events.at(static_cast<std::size_t>(tempo.event));
    if (!event.isMeta(kMetaTempo) || event.tempo != tempo.index) std::abort();
  }
  return 0;
}
