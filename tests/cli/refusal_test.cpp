// On the command line every refusal of the output flow exits with status 1 and writes nothing,
// whatever else was asked; what stood in the way is told on standard error as the desktop
// program tells it.

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli_run.h"
#include "base/messages.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::cli {
namespace {

using test::runCommandLine;

class Refusal : public ::testing::Test {
protected:
  void SetUp() override {
    test::MidiBuilder song;
    song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
    song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
    song.write(midi);
    original = test::readBytes(midi);
  }

  // Nothing was written, the song is as it was, and the one message says why.
  void expectRefused(const test::CliOutcome& result, const std::string& message) {
    EXPECT_EQ(result.status, kExitFileFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, asStandardError(message));
    EXPECT_EQ(test::readBytes(midi), original);
    for (const char* name : {"song.txt", "song_out.mid", "song_out.bme", "song.bme"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
  }

  test::TempDir dir;
  const std::string midi = dir.file("song.mid");
  test::Bytes original;
};

TEST_F(Refusal, AnOutputOverTheInputIsRefusedWithBothPaths) {
  expectRefused(runCommandLine({"-o", midi, midi}),
                overwriteRefusedMessage(midi, OutputKind::RenderingMidi, midi));
  expectRefused(runCommandLine({"--no-chart", "-q", "-o", midi, midi}),
                overwriteRefusedMessage(midi, OutputKind::RenderingMidi, midi));
}

TEST_F(Refusal, AnOutputThroughALinkToTheInputIsRefused) {
  const std::string link = dir.file("link.mid");
  std::error_code error;
  std::filesystem::create_hard_link(midi, link, error);
  if (error) GTEST_SKIP() << "no hard links here: " << error.message();
  const test::CliOutcome result = runCommandLine({"-o", link, midi});
  expectRefused(result, overwriteRefusedMessage(midi, OutputKind::RenderingMidi, link));
  EXPECT_FALSE(std::filesystem::exists(dir.file("link.bme")));
}

TEST_F(Refusal, SettingsOnlyOverTheInputIsRefused) {
  std::error_code error;
  std::filesystem::create_symlink(midi, dir.file("song.txt"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  const test::CliOutcome result = runCommandLine({"--settings-only", midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err,
            asStandardError(overwriteRefusedMessage(midi, OutputKind::Settings, dir.file("song.txt"))));
  EXPECT_EQ(test::readBytes(midi), original);
}

TEST_F(Refusal, ATrackTooComplexIsRefusedAndTheOtherInputsAreStillConverted) {
  const std::string pad = dir.file("pad.mid");
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
  auto& track = song.track().name("Pad");
  for (int i = 0; i < 1200; ++i)
    track.noteOn(i * 10, 0, 20 + i % 100, 1 + i / 100).controlChange(i * 10 + 5, 0, 1, i % 128);
  track.endOfTrack(12000);
  song.write(pad);
  const test::CliOutcome result = runCommandLine({"-q", pad, midi});
  EXPECT_EQ(result.status, kExitFileFailed);
  EXPECT_EQ(result.err, asStandardError(trackTooComplexMessage(pad, 2, "Pad")));
  for (const char* name : {"pad.txt", "pad_out.mid", "pad_out.bme"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
  EXPECT_TRUE(std::filesystem::exists(dir.file("song_out.bme")));
}

}  // namespace
}  // namespace rendlow::cli
