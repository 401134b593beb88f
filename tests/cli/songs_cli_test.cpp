// The command line over several songs at once, and what it says of the files that stand when a
// step fails after some were written.

#include <gtest/gtest.h>

#include <filesystem>

#include "audio/synth/rendering.h"
#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

const Bytes kExample = readBytes(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid");

// A folder holding the example as a.mid and b.mid, its first 300 bytes as damaged.mid (read with
// a warning) and a file that is no MIDI file as bad.mid.
class Songs : public ::testing::Test {
protected:
  void SetUp() override {
    writeBytes(dir.file("a.mid"), kExample);
    writeBytes(dir.file("b.mid"), kExample);
    writeBytes(dir.file("damaged.mid"), Bytes(kExample.begin(), kExample.begin() + 300));
    writeBytes(dir.file("bad.mid"), Bytes{'n', 'o'});
  }
  Ran run(const std::vector<std::string>& args) { return runCliIn(dir, args, "C"); }

  TempDir dir;
};

TEST_F(Songs, EachSongEndsOnALineOfItsOwnAndTheRunWithTheWorstStatus) {
  for (const CaseLine& c : readCaseTable("cli/data/song_lines.txt")) {
    SCOPED_TRACE(c.where);
    const Ran ran = run(argumentsOf(c.columns.at(0)));
    EXPECT_EQ(ran.status, numbersOf(c.columns.at(1)).at(0));
    EXPECT_TRUE(ran.out.ends_with("\n" + c.expected)) << ran.out;
  }
  EXPECT_TRUE(run({"-q", "a.mid", "b.mid"}).out.empty());
  EXPECT_EQ(run({"a.mid"}).out.find("a.mid: done"), std::string::npos);
}

// Sounds that cannot be written (a folder has a sound's name) fail the run after the chart and its
// pair were written: the author is told those stand, and which did not.
TEST_F(Songs, SoundsFailingAfterTheChartTellWhatWasWritten) {
  if (!audio::fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  std::filesystem::create_directory(dir.file("a_01.wav"));
  const Ran ran = run({"--keysounds", "--set", "0:definitionName=a", "a.mid"});
  EXPECT_EQ(ran.status, cli::kExitFailed);
  EXPECT_NE(ran.err.find("Written: a_out.mid, a.txt, a_out.bme\n  Not written: the sound files in ."),
            std::string::npos)
      << ran.err;
  EXPECT_EQ(ran.err.find("Nothing was written"), std::string::npos);
}

// A sound of an earlier setup beside the chart's is a warning to read; --clean removes it.
TEST_F(Songs, SoundsTheChartDoesNotUseAreToldOrCleaned) {
  if (!audio::fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  writeBytes(dir.file("a_99.ogg"), Bytes{'o', 'l', 'd'});
  const Ran told = run({"--keysounds", "--ogg", "--set", "0:definitionName=a", "a.mid"});
  EXPECT_EQ(told.status, cli::kExitWarning);
  EXPECT_NE(told.err.find("1 sound files in the chart's folder are named as its sounds but not used by it"),
            std::string::npos)
      << told.err;
  EXPECT_NE(told.err.find("\n  a_99.ogg\n"), std::string::npos) << told.err;
  const Ran cleaned = run({"--clean", "--keysounds", "--ogg", "--set", "0:definitionName=a", "a.mid"});
  EXPECT_EQ(cleaned.status, cli::kExitOk) << cleaned.err;
  EXPECT_NE(cleaned.out.find("Removed 1 sound files the chart does not use:\na_99.ogg\n"), std::string::npos)
      << cleaned.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("a_99.ogg")));
}

}  // namespace
}  // namespace rendlow::test
