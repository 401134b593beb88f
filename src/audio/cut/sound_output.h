#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/io/audio_backend.h"
#include "base/message.h"
#include "base/notices.h"
#include "base/result.h"

namespace rendlow::audio {

// Where and how the sound files of a chart are written.
struct SoundOutput {
  std::string folder;  // the chart's folder
  AudioFileType type = AudioFileType::Wav;
  const AudioBackend* backend = &defaultBackend();
  // Every file written to this output, by whichever thread: an interrupted run tells the total,
  // which no one track's report knows. Copies of the output count together.
  std::shared_ptr<std::atomic<int32_t>> written = std::make_shared<std::atomic<int32_t>>(0);
};

// What a run that writes sound files tells the user: what it could not do (missing, extra or
// short stems), then how many files it wrote where.
struct SoundFilesReport {
  std::string folder;
  int32_t filesWritten = 0;
  Notices notices;  // warnings: the files written stand

  Message summary() const;
};

// The name a sound named in the chart ("tr01_01.wav") is written under: with the extension of
// the output type (players look for "tr01_01.ogg" when the chart names "tr01_01.wav").
std::string soundFileName(AudioFileType type, const std::string& chartName);

// Where that file goes: in the output folder.
std::string soundFilePath(const SoundOutput& output, const std::string& fileName);

// Writes one sound and counts it in the report. Once an interrupt is noted (see interruption.h),
// writes no more: the problem then says how many files were written to the output, where.
Result<void> writeSound(const SoundOutput& output, const std::string& fileName, const AudioBuffer& sound,
                        SoundFilesReport& report);

}  // namespace rendlow::audio
