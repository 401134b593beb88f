// rendlow-cli --no-chart: the "Midi出力" button without a window.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/memory_form.h"
#include "cli_run.h"
#include "app/application.h"
#include "app/load_flow.h"
#include "base/messages.h"
#include "app/output_flow.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

// The list of files written comes last, after the table of the converted tracks.
bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

using Outcome = test::CliOutcome;
using test::runCommandLine;

// The settings file as its lines read, whatever the platform's line end (it is a text file).
std::string settingsText(const std::string& path) {
  std::string text = test::readText(path);
  std::erase(text, '\r');
  return text;
}

class NoChart : public ::testing::Test {
protected:
  // A conductor with a tempo change; Piano with a chord and a repeat; Bass with controllers.
  void SetUp() override {
    test::MidiBuilder song;
    song.track()
        .name("Conductor")
        .tempo(0, 500000)
        .timeSignature(0, 4, 2)
        .tempo(3840, 428571)
        .endOfTrack(3840);
    song.track()
        .name("Piano")
        .noteOn(0, 0, 60, 100)
        .noteOn(0, 0, 64, 100)
        .noteOff(480, 0, 60)
        .noteOff(480, 0, 64)
        .noteOn(1920, 0, 60, 100)
        .noteOn(1920, 0, 64, 100)
        .noteOff(2400, 0, 60)
        .noteOff(2400, 0, 64)
        .noteOn(4000, 0, 67, 90)
        .noteOff(4300, 0, 67)
        .endOfTrack(4300);
    song.track()
        .name("Bass")
        .controlChange(0, 1, 7, 100)
        .noteOn(240, 1, 36, 80)
        .noteOff(700, 1, 36)
        .controlChange(3000, 1, 7, 60)
        .noteOn(3900, 1, 38, 80)
        .noteOff(4100, 1, 38)
        .endOfTrack(4100);
    song.write(midi);
  }

  // The same job through the output flow directly, with the edits given as settings records.
  std::string renderDirectly(const std::string& output,
                             const std::vector<std::pair<int, TrackSettings>>& edits) {
    Application app;
    MemoryForm form;
    loadFile(app, form, midi);
    for (const auto& [row, record] : edits) app.applyRowSettings(row, record);
    form.setText(control::kOutputFile, output);
    const OutputResult result = runOutput(app, form, true, false);
    EXPECT_TRUE(result.ok());
    test::exportForInterop(app.project, output);
    return test::readText(output);
  }

  test::TempDir dir;
  const std::string midi = dir.file("song.mid");
  const std::string settings = dir.file("song.txt");
  const std::string rendering = dir.file("song_out.mid");
};

TEST_F(NoChart, WritesTheRenderingFileAndTheSettingsFileAndSaysWhere) {
  const Outcome result = runCommandLine({"--no-chart", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_TRUE(
      endsWith(result.out, "rendering MIDI file: " + rendering + "\nsettings file: " + settings + "\n"))
      << result.out;
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(std::filesystem::exists(dir.file("song_out.bme")));
  EXPECT_EQ(test::readText(rendering), renderDirectly(dir.file("direct.mid"), {}));
}

TEST_F(NoChart, AppliesEachEditToItsRowKeepingTheFieldsItDoesNotName) {
  const std::string output = dir.file("custom.mid");
  const Outcome result = runCommandLine({"--no-chart", "-o", output, "--set", "0:gridUnit=1920", "--set",
                                         "0:definitionName=keys", "--set", "1:enabled=0", midi});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_TRUE(endsWith(result.out, "rendering MIDI file: " + output + "\nsettings file: " + settings + "\n"))
      << result.out;
  const std::string saved = settingsText(settings);
  EXPECT_NE(saved.find("o\t" + output + "\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("tr\tPiano\tkeys\t0\t960\t1920\t1\t0\t0\t0\t0\t2\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("tr\tBass\ttr02\t0\t960\t0\t1\t0\t0\t0\t0\t2\n"), std::string::npos) << saved;

  TrackSettings piano;
  piano.definitionName = "keys";
  piano.gridUnit = 1920;
  TrackSettings bass;
  bass.definitionName = "tr02";
  bass.gridUnit = 0;
  bass.enabled = false;
  EXPECT_EQ(test::readText(output), renderDirectly(dir.file("direct.mid"), {{0, piano}, {1, bass}}));
  // The conductor and Piano: the unchecked row's track is left out.
  EXPECT_EQ(test::readBytes(output)[11], 2);
}

TEST_F(NoChart, ReadsASettingsFileAsInput) {
  ASSERT_EQ(runCommandLine({"--no-chart", "--set", "1:velocitySplitWidth=16", midi}).status, kExitOk);
  std::filesystem::remove(rendering);
  const Outcome result = runCommandLine({"--no-chart", settings});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_NE(settingsText(settings).find("tr\tBass\ttr02\t16\t"), std::string::npos);
  TrackSettings bass;
  bass.definitionName = "tr02";
  bass.gridUnit = 0;
  bass.velocitySplitWidth = 16;
  EXPECT_EQ(test::readText(rendering), renderDirectly(dir.file("direct.mid"), {{1, bass}}));
}

TEST_F(NoChart, ARowTheSongDoesNotHaveIsAUsageError) {
  const Outcome result = runCommandLine({"--no-chart", "--set", "2:gridUnit=0", midi});
  EXPECT_EQ(result.status, kExitUsage);
  EXPECT_EQ(result.err, "rendlow-cli: --set: there is no row 2 (the song has 2 track rows)\n");
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(rendering));
  EXPECT_FALSE(std::filesystem::exists(settings));
}

TEST_F(NoChart, AFileThatCannotBeWrittenIsAFileError) {
  const std::string output = dir.file("missing") + "/out.mid";
  const Outcome result = runCommandLine({"--no-chart", "-o", output, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_TRUE(endsWith(result.out, "\nsettings file: " + settings + "\n")) << result.out;
  EXPECT_EQ(result.out.find("rendering MIDI file: "), std::string::npos);
  EXPECT_EQ(result.err, asStandardError(midiNotWrittenMessage(output, writeReason(ENOENT))));
}

TEST_F(NoChart, AnInputThatCannotBeReadIsAFileError) {
  const Outcome result = runCommandLine({"--no-chart", dir.file("missing.mid")});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err, asStandardError(midiNotLoadedMessage(dir.file("missing.mid"), readReason(ENOENT))));
  EXPECT_EQ(result.out, "");
}

TEST_F(NoChart, VerboseShowsTheEnginesLinesBeforeTheReport) {
  const Outcome result = runCommandLine({"--no-chart", "--verbose", midi});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.out.rfind("Read Track 1...\n", 0), 0u);
  EXPECT_NE(result.out.find("NoteOn: 0 480 60\n"), std::string::npos);
  EXPECT_NE(result.out.find("\n\nFF 03 43 6F 6E"), std::string::npos);  // the conductor's name, dumped
  const std::string report = "rendering MIDI file: " + rendering + "\nsettings file: " + settings + "\n";
  EXPECT_EQ(result.out.substr(result.out.size() - report.size()), report);
  EXPECT_EQ(test::readText(rendering), renderDirectly(dir.file("direct.mid"), {}));
}

}  // namespace
}  // namespace rendlow::cli
