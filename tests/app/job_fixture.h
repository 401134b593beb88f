#pragma once

// What the app tests share: a private folder to run jobs in with relative names (as an author
// runs the command line beside the song, so the files come out the same on every machine), the
// comparison with golden files, and the hand-over of what a job wrote to the interop suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/application.h"
#include "app/job.h"
#include "app/memory_form.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {

inline const std::string kExampleSong = std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid";
inline const std::string kGoldenDir = std::string(RENDLOW_TEST_DATA_DIR) + "/golden";

// Runs the process in a folder for as long as it lives.
class WorkingFolder {
public:
  explicit WorkingFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(previous_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
  std::filesystem::path previous_;
};

// A request for the job on `input` with `edits`, everything else as the command line leaves it.
inline JobRequest request(std::string input, std::vector<RowEdit> edits = {}) {
  JobRequest r;
  r.input = std::move(input);
  r.edits = std::move(edits);
  return r;
}

// One job in its own folder, as the command line runs it: relative settings paths, no saved
// settings unless asked.
struct JobRun {
  TempDir dir;
  Application app;
  MemoryForm form;

  JobRun() { app.project.relativeSettingsPaths = true; }

  // Writes `song` as `name` into the folder.
  void put(const std::string& name, const Bytes& song) const { writeBytes(dir.file(name), song); }
  // Runs the job from inside the folder.
  Result<JobReport> run(JobRequest request) {
    WorkingFolder here(dir.path());
    return runJob(app, form, request);
  }
  std::string read(const std::string& name) const { return readText(dir.file(name)); }
};

// Text as a text file written on this platform holds it: CR LF line ends on Windows.
std::string withPlatformLineEnds(std::string text);

// Compares a written file with a golden file, byte for byte. With RENDLOW_UPDATE_GOLDEN=1 the
// golden file is written anew instead: read the differences before committing them.
void expectGolden(const std::string& written, const std::string& golden, bool text);

// Hands a written rendering MIDI file, and the chart with the song it was made from, to the
// interop suite (tests/interop), with what the project held for them. Does nothing unless
// RENDLOW_INTEROP_DIR names a folder.
void exportForInterop(const Project& project, const std::string& midiPath);
void exportChartForInterop(const Project& project, const std::string& sourceMidiPath, const std::string& chartPath);
// Hands a chart with its sound files beside it to the interop suite, which checks that a player
// finds a file for every sound the chart names.
void exportKeysoundsForInterop(const std::string& chartPath);

}  // namespace rendlow::test
