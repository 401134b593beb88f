#pragma once

// Where the sounds of each converted track lie in the rendering MIDI file, in seconds, with what
// the check of a stem needs to know of the song around them.

#include <string>
#include <vector>

#include "audio/synth/rendering.h"
#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

// One distinct sound of a track, as the rendering MIDI file plays it.
struct StemSound {
  std::string fileName;     // as the chart's #WAV line names it: "tr01_01.wav"
  double startSeconds = 0;  // where it starts in the rendering file
  double endSeconds = 0;    // where the next sound starts; the last sound runs to the stem's end
  // How long the track holds no note right before the sound starts; 0 where one still sounds.
  double silenceBeforeSeconds = 0;
  // Every note of it starts with its channel's volume or expression at 0: the song itself has it
  // silent, so its stem may be silent there too.
  bool silentInSong = false;
};

// A converted track: its definition name, which names its stem ("tr01" for "tr01.wav"), its
// distinct sounds in order, and where its last event lies (its last note ends), which the stem
// must reach.
struct StemTrack {
  std::string stemName;
  std::vector<StemSound> sounds;
  double endSeconds = 0;
};

StemTrack stemTrackOf(const RenderingFileTrack& track, const TempoMap& tempoMap);

}  // namespace rendlow::audio
