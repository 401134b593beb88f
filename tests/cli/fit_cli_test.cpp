// --fit on the command line: what it prints, what it saves, the status it ends with; the advice a
// refused chart gives without it; and the id table of a chart past ZZ.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

// One track of 60 pitches, each at 25 velocities: with a velocity width of 1, 1500 sounds.
Bytes manySoundsSong() {
  MidiBuilder b;
  TrackBuilder& track = b.track().tempo(0, 500000).name("Keys");
  int32_t tick = 0;
  for (int pitch = 30; pitch < 90; ++pitch) {
    for (int velocity = 1; velocity <= 25; ++velocity, tick += 120) track.noteOn(tick, 0, pitch, velocity).noteOff(tick + 60, 0, pitch);
  }
  track.endOfTrack(tick);
  return b.bytes();
}

class FitCli : public ::testing::Test {
protected:
  void SetUp() override { writeBytes(dir.file("song.mid"), manySoundsSong()); }

  Ran run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--set", "0:velocitySplitWidth=1"});
    args.push_back("song.mid");
    return runCliIn(dir, args, "C");
  }

  TempDir dir;
};

TEST_F(FitCli, WithoutFitTheRefusalNamesTheSettingsFitWouldChooseAndWithFitTheChartIsWrittenWithThem) {
  const Ran refused = run({});
  EXPECT_EQ(refused.status, cli::kExitFailed);
  const std::size_t advice = refused.err.find("With --fit the chart is made as finely as fits: --set 0:velocitySplitWidth=");
  ASSERT_NE(advice, std::string::npos) << refused.err;
  // The width the advice names, as --set takes it.
  const std::string named = refused.err.substr(advice).substr(refused.err.substr(advice).find('=') + 1);
  const std::string width = named.substr(0, named.find_first_not_of("0123456789"));

  const Ran fitted = run({"--fit"});
  EXPECT_EQ(fitted.status, cli::kExitOk) << fitted.err;
  EXPECT_NE(fitted.out.find("--fit: the #WAV ids now run up to "), std::string::npos) << fitted.out;
  // The arrow between old and new is left out: the code page of the console decides its bytes.
  EXPECT_NE(fitted.out.find("row 0 Keys: velocitySplitWidth 1 "), std::string::npos) << fitted.out;
  EXPECT_NE(fitted.out.find(" " + width + "; ids 1500 "), std::string::npos) << fitted.out;
  EXPECT_NE(readText(dir.file("song.txt")).find("tr\tKeys\ttr01\t" + width + "\t"), std::string::npos);
  EXPECT_NE(readText(dir.file("song_out.bme")).find("#WAV01 "), std::string::npos);

  // The settings file holds the fitted width: the next run fits as it stands, and prints no change.
  const Ran again = run({"--set", "0:velocitySplitWidth=" + width, "--fit"});
  EXPECT_EQ(again.status, cli::kExitOk);
  EXPECT_EQ(again.out.find("--fit:"), std::string::npos) << again.out;
}

TEST_F(FitCli, TheIdTableTellsACountWhereTheIdsRunPastZZ) {
  const Ran bmson = run({"--format", "bmson"});
  EXPECT_EQ(bmson.status, cli::kExitOk) << bmson.err;
  EXPECT_NE(bmson.out.find(" 1500 ids\n"), std::string::npos) << bmson.out;
  const Ran bme = run({"--format", "bme", "--fit"});
  EXPECT_NE(bme.out.find(" 01-"), std::string::npos) << bme.out;
}

}  // namespace
}  // namespace rendlow::test
