// The settings file: what a "tr" line gives back, and what a saved file keeps.

#include <gtest/gtest.h>

#include "app/project.h"
#include "app/settings_file.h"
#include "app/track_line.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

struct Scan {
  const char* fields;  // a "tr" line after its key
  TrackSettings expected;
};

TrackSettings settings(std::string name, std::string definition, std::array<int32_t, 9> numbers) {
  TrackSettings s;
  s.trackName = std::move(name);
  s.definitionName = std::move(definition);
  s.velocitySplitWidth = numbers[0];
  s.noteInterval = numbers[1];
  s.gridUnit = numbers[2];
  s.splitMethod = numbers[3];
  s.multipleThreshold = numbers[4];
  s.ignoreBpm = numbers[5] != 0;
  s.ccSplitWidth = numbers[6];
  s.ccInterval = numbers[7];
  s.wavDefinitionGap = numbers[8];
  return s;
}

TEST(TrackLine, ScansEveryFieldItCanAndKeepsTheDefaultsAfterTheFirstThatDoesNotMatch) {
  const Scan cases[] = {
      {"Piano\tpno\t0\t960", settings("Piano", "pno", {0, 960, 1920, 1, 0, 0, 0, 0, 2})},
      {"Piano\tpno\t1\t2\t3\t0\t5\t7\t8\t9\t10", settings("Piano", "pno", {1, 2, 3, 0, 5, 1, 8, 9, 10})},
      // An unnamed track and an empty definition name are texts too: the numbers after them count.
      {"\ttr03\t4\t480\t0\t2\t0\t0\t0\t0\t2", settings("", "tr03", {4, 480, 0, 2, 0, 0, 0, 0, 2})},
      {"Piano\t\t16\t480", settings("Piano", "", {16, 480, 1920, 1, 0, 0, 0, 0, 2})},
      // A number skips blanks and TABs before it; each separator is one TAB.
      {"P\td\t5\t\t960\t 7", settings("P", "d", {5, 960, 7, 1, 0, 0, 0, 0, 2})},
      {"P\td\t5\tx\t7", settings("P", "d", {5, 960, 1920, 1, 0, 0, 0, 0, 2})},
      {"P\td\t2147483648\t7", settings("P", "d", {0, 960, 1920, 1, 0, 0, 0, 0, 2})},
      {"P\td\t-3", settings("P", "d", {-3, 960, 1920, 1, 0, 0, 0, 0, 2})},
  };
  for (const Scan& c : cases) {
    SCOPED_TRACE(c.fields);
    EXPECT_EQ(scanTrackFields(c.fields), c.expected);
  }
}

TEST(SettingsFile, KeepsWhatItWasGivenAndReadsBothLineEnds) {
  TempDir dir;
  Project project;
  project.settingsPath = dir.file("song.txt");
  project.inputPath = dir.file("song.mid");
  project.outputPath = dir.file("out.mid");
  project.chartHeader = {"Genre\twith a tab", "タイトル", ""};
  ASSERT_TRUE(saveSettings(project));
  Result<SettingsFileContents> read = loadSettings(project.settingsPath);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, project.inputPath);
  EXPECT_EQ(read->outputPath, project.outputPath);
  EXPECT_EQ(read->genre, "Genre\twith a tab");
  EXPECT_EQ(read->title, "タイトル");

  // CR LF line ends, a later "i" line over an earlier one, other keys and key-less lines ignored,
  // and a line too long for the reader's buffer ending the reading.
  writeBytes(dir.file("hand.txt"), {});
  const std::string longLine = "g\t" + std::string(600, 'x');
  const std::string text = "i\t/a.mid\r\ni\t/b.mid\r\nz\tignored\r\nno tab\r\ntr\tP\td\t3\r\n" + longLine + "\nt\tlost\n";
  writeBytes(dir.file("hand.txt"), Bytes(text.begin(), text.end()));
  read = loadSettings(dir.file("hand.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, "/b.mid");
  ASSERT_EQ(read->records.size(), 1u);
  EXPECT_EQ(read->records[0].velocitySplitWidth, 3);
  EXPECT_EQ(read->genre, "");
  EXPECT_EQ(read->title, "");
}

TEST(SettingsFile, ALineTooLongIsRefusedAndTheOldFileStays) {
  TempDir dir;
  Project project;
  project.settingsPath = dir.file("song.txt");
  writeBytes(project.settingsPath, {'o', 'l', 'd'});
  project.chartHeader.artist = std::string(510, 'a');
  const Result<void> saved = saveSettings(project);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.problem().message.in(Audience::EnglishConsole).find("ARTIST"), std::string::npos);
  EXPECT_EQ(readText(project.settingsPath), "old");
}

TEST(SettingsFile, ACommandLineSettingsFileLoadsFromAnyFolder) {
  JobRun job;
  std::filesystem::create_directories(job.dir.file("songs"));
  job.put("songs/song.mid", readBytes(kExampleSong));
  ASSERT_TRUE(job.run(request("songs/song.mid")));
  EXPECT_TRUE(job.read("songs/song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\tsong_out.mid\n")));
  // Read from another working folder, the paths still lead to the song.
  const Result<SettingsFileContents> read = loadSettings(job.dir.file("songs/song.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, job.dir.file("songs/song.mid"));
}

}  // namespace
}  // namespace rendlow::test
