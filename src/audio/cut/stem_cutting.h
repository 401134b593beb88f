#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/cut/sound_output.h"
#include "audio/io/audio_buffer.h"
#include "base/result.h"

namespace rendlow::audio {

// Below this level (−60 dBFS) a sound's tail is taken for silence and dropped.
constexpr float kSilentLevel = 0.001f;
// The fade-out at the end of every cut, against the click of a sound stopped mid-wave.
constexpr double kFadeOutSeconds = 0.005;

// One sound out of a recording of many: frames [startFrame, endFrame) of `source` (clamped to
// it), starting exactly at startFrame with nothing removed before it and no fade-in; then the
// trailing frames below kSilentLevel on every channel are dropped, and the last kFadeOutSeconds
// (fewer frames if the sound is shorter) fade out linearly, down to a last frame of zero.
AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame);

// One distinct sound of a track, as the rendering MIDI file plays it.
struct StemSound {
  std::string fileName;     // as the chart's #WAV line names it: "tr01_01.wav"
  double startSeconds = 0;  // where it starts in the rendering file
  double endSeconds = 0;    // where the next sound starts; the last sound runs to the stem's end
};

// A converted track: its definition name, which names its stem ("tr01" for "tr01.wav"), and
// its distinct sounds in order.
struct StemTrack {
  std::string stemName;
  std::vector<StemSound> sounds;
};

// Cuts every sound out of its track's stem, an audio file in `stemsFolder` the author rendered
// from tick 0 of the rendering MIDI file, and writes it to the output folder (see cutSound).
// Missing, extra, unreadable and short stems are told in the report's notices and the other
// tracks go on; the problem is a sound file that could not be written, or a stems folder that
// could not be read. `recordingName`, when not empty, is the file name of an audio file in the
// folder that is no stem (the song's own render, to measure against): it is not told as extra.
Result<SoundFilesReport> cutStems(const std::vector<StemTrack>& tracks, const std::string& stemsFolder,
                                  const SoundOutput& output, const std::string& recordingName = "");

}  // namespace rendlow::audio
