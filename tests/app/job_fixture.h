#pragma once

// What the app tests share: a private folder to run jobs in with relative names (as an author
// runs the command line beside the song, so the files come out the same on every machine), the
// comparison with golden files, and the hand-over of what a job wrote to the interop suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "app/application.h"
#include "app/conversion.h"
#include "app/job.h"
#include "app/memory_form.h"
#include "audio/io/audio_buffer.h"
#include "base/message.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {

inline const Bytes kExampleSong = readBytes(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid");
// A song kept among the app tests' data, as tests/app/data/README.txt describes it.
inline Bytes appSong(const std::string& name) {
  return readBytes(std::string(RENDLOW_TEST_DATA_DIR) + "/app/data/" + name);
}
inline const std::string kGoldenDir = std::string(RENDLOW_TEST_DATA_DIR) + "/golden";

// A request for the job on `input` with the edits ("ROW:FIELD=VALUE") as --set gives them.
inline JobRequest request(std::string input, std::initializer_list<const char*> edits = {}) {
  JobRequest r;
  r.input = std::move(input);
  for (const char* edit : edits) r.edits.push_back(parseRowEdit(edit).value());
  return r;
}

// One job in its own folder, as the command line runs it: relative settings paths.
struct JobRun {
  TempDir dir;
  Application app;
  MemoryForm form;
  // The conversion the last run wrote its files from; none when it wrote no rendering file.
  std::optional<Converted> converted;

  // With a song, it is put in the folder as "song.mid".
  explicit JobRun(const Bytes& song = {}) {
    app.project.relativeSettingsPaths = true;
    if (!song.empty()) put("song.mid", song);
  }
  void put(const std::string& name, const Bytes& bytes) const { writeBytes(dir.file(name), bytes); }
  void put(const std::string& name, const std::string& text) const {
    put(name, Bytes(text.begin(), text.end()));
  }
  // Runs the job from inside the folder.
  Result<JobReport> run(const JobRequest& request) {
    WorkingFolder here(dir.path());
    Result<JobReport> report = runJob(app, form, request);
    converted.reset();
    if (report && report->output) converted = report->output->converted;
    return report;
  }
  std::string read(const std::string& name) const { return readText(dir.file(name)); }
};

// The first line of a message as the English console shows it.
inline std::string firstLine(const Message& message) {
  const std::string& text = message.in(Audience::EnglishConsole);
  return text.substr(0, text.find('\n'));
}

// Text as a text file written on this platform holds it: CR LF line ends on Windows.
std::string withPlatformLineEnds(std::string text);

// Compares a file the job wrote with its golden file; a text file has this platform's line ends.
inline void expectGoldenFile(const std::string& written, const std::string& golden, bool text) {
  if (text && withPlatformLineEnds("\n") != "\n")
    EXPECT_EQ(readText(written), withPlatformLineEnds(readText(golden)));
  else
    expectGolden(readText(written), golden);
}

// The English of each notice, a line end after each.
inline std::string englishOf(const Notices& notices) {
  std::string text;
  for (const Notice& notice : notices) text += notice.message.in(Audience::EnglishConsole) + "\n";
  return text;
}

// Writes `sound` as a Wave file at `path`.
void writeWav(const std::string& path, const audio::AudioBuffer& sound);

// Stems of the named tracks as an instrument renders the rendering file, into "stems"; each
// delayed by `lateSeconds`.
void writeStems(JobRun& job, const std::set<std::string>& names, double lateSeconds = 0);

// Hands what the job on "<stem>.mid" wrote, with what the project held for it, to the interop
// suite, whose script tells the files. Does nothing unless RENDLOW_INTEROP_DIR names a folder.
void exportJobForInterop(const JobRun& job, const std::string& stem);
// Hands a chart the author edited (as the job's "song_out.bme.bak" keeps it), the chart the job
// merged it into ("song_out.bme"), and `fresh`, the chart of the same settings from the song alone,
// to the interop suite, which checks that the merged chart plays what the fresh one plays and keeps
// the author's lines.
void exportKeptChartForInterop(const JobRun& job, const std::string& fresh);
// Hands a chart with its sound files beside it to the interop suite, which checks that a player
// finds a file for every sound the chart names.
void exportKeysoundsForInterop(const std::string& chartPath);

}  // namespace rendlow::test
