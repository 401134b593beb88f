#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/cut/sound_output.h"
#include "audio/io/audio_buffer.h"
#include "audio/io/sound_stream.h"
#include "base/result.h"

namespace rendlow::audio {

// Half a step of the 16-bit scale: a sample below it is written as 0, so below it on every
// channel a frame is silence in the file, however quiet the sound it belongs to.
constexpr float kAudibleFloor = 0.5f / 32768.0f;
// The fade-out where a cut stops a sound still ringing, against the click of a wave cut mid-way.
constexpr double kFadeOutSeconds = 0.005;

// True when no sample of `sound` from frame `firstFrame` on reaches kAudibleFloor.
bool isSilent(const AudioBuffer& sound, int64_t firstFrame = 0);

// One sound out of a recording of many: frames [startFrame, endFrame) of `source` (clamped to
// it), starting exactly at startFrame with nothing removed before it and no fade-in. Trailing
// frames below kAudibleFloor on every channel are dropped; where none were, the cut stops the
// sound while it still rings, and its last kFadeOutSeconds (fewer frames if it is shorter) fade
// out linearly to a last frame of zero. A sound silent throughout keeps its whole length as
// zeros, and the result always has a frame: a player given an empty file may refuse the chart.
// Frames below kAudibleFloor on every channel within it are zeros, as a 16-bit file holds them.
AudioBuffer cutSound(const AudioBuffer& source, int64_t startFrame, int64_t endFrame);

// Where one sound of a track lies in the track's whole recording, and the file it goes to.
struct SoundSpan {
  std::string fileName;  // as the chart's #WAV line names it: "tr01_01.wav"
  int64_t startFrame = 0;
  int64_t endFrame = 0;
};

// The end of a span that runs to the end of its recording, however long the recording is.
constexpr int64_t kRecordingEnd = INT64_MAX;

// Writes a track's sounds one by one as they are cut, so that only the sound being cut is held,
// then tells how many came out silent.
class TrackSoundWriter {
public:
  TrackSoundWriter(std::string stemName, const SoundOutput& output, SoundFilesReport& report)
      : stemName_(std::move(stemName)), output_(output), report_(report) {}

  // Frames [startFrame, endFrame) of `recording` cut (see cutSound) and written as `fileName`.
  Result<void> write(const std::string& fileName, const AudioBuffer& recording, int64_t startFrame,
                     int64_t endFrame);
  // A sound already cut (see cutSound), written as `fileName`.
  Result<void> writeCut(const std::string& fileName, const AudioBuffer& sound);
  // When some of the sounds written came out silent, a warning in the report says how many.
  void finish();

private:
  std::string stemName_;
  const SoundOutput& output_;
  SoundFilesReport& report_;
  int32_t written_ = 0;
  int32_t silent_ = 0;
};

// Cuts each span out of `recording` (see cutSound) and writes it, reading the recording a block
// of `blockFrames` at a time: only a block and what the sound being cut keeps of its span are
// held, never the silence after it. The spans come in order, each starting where the one before
// ends or later. When some sounds come out silent, a warning in the report says how many
// of the track's; the problem is a file that could not be written.
Result<void> writeTrackSounds(const std::string& stemName, SoundStream& recording,
                              const std::vector<SoundSpan>& spans, const SoundOutput& output,
                              SoundFilesReport& report, int64_t blockFrames = kStreamBlockFrames);

}  // namespace rendlow::audio
