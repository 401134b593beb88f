// The settings file: what a "tr" line gives back, and what a saved file keeps.

#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "app/project.h"
#include "app/track_line.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

TEST(TrackLine, ScansEveryFieldItCanAndKeepsTheDefaultsAfterTheFirstThatDoesNotMatch) {
  // A "tr" line after its key; the record scanned from it, written back in the same field order:
  // velocity width, note interval, grid, split, threshold, tempo ignored, controller width and
  // interval, #WAV gap.
  const std::pair<const char*, const char*> cases[] = {
      {"Piano\tpno\t0\t960", "Piano\tpno\t0\t960\t1920\t1\t0\t0\t0\t0\t2"},
      {"Piano\tpno\t1\t2\t3\t0\t5\t7\t8\t9\t10", "Piano\tpno\t1\t2\t3\t0\t5\t1\t8\t9\t10"},
      // An unnamed track and an empty definition name are texts too: the numbers after them count.
      {"\ttr03\t4\t480\t0\t2\t0\t0\t0\t0\t2", "\ttr03\t4\t480\t0\t2\t0\t0\t0\t0\t2"},
      {"Piano\t\t16\t480", "Piano\t\t16\t480\t1920\t1\t0\t0\t0\t0\t2"},
      // A number skips blanks and TABs before it; each separator is one TAB.
      {"P\td\t5\t\t960\t 7", "P\td\t5\t960\t7\t1\t0\t0\t0\t0\t2"},
      {"P\td\t5\tx\t7", "P\td\t5\t960\t1920\t1\t0\t0\t0\t0\t2"},
      {"P\td\t2147483648\t7", "P\td\t0\t960\t1920\t1\t0\t0\t0\t0\t2"},
      {"P\td\t-3", "P\td\t-3\t960\t1920\t1\t0\t0\t0\t0\t2"},
  };
  for (const auto& [fields, scanned] : cases) {
    const TrackSettings record = scanTrackFields(fields);
    EXPECT_EQ(formatTrackFields(record.trackName, record), scanned) << fields;
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
  EXPECT_EQ(std::tuple(read->inputPath, read->outputPath, read->genre, read->title),
            std::tuple(project.inputPath, project.outputPath, project.chartHeader.genre, project.chartHeader.title));

  // CR LF line ends, a later "i" line over an earlier one, other keys and key-less lines ignored,
  // and a line too long for the reader's buffer ending the reading.
  const std::string text =
      "i\t/a.mid\r\ni\t/b.mid\r\nz\tignored\r\nno tab\r\ntr\tP\td\t3\r\ng\t" + std::string(600, 'x') + "\nt\tlost\n";
  writeBytes(dir.file("hand.txt"), Bytes(text.begin(), text.end()));
  read = loadSettings(dir.file("hand.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, "/b.mid");
  ASSERT_EQ(read->records.size(), 1u);
  EXPECT_EQ(read->records[0].velocitySplitWidth, 3);
  EXPECT_EQ(read->genre + read->title, "");
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
  job.put("songs/song.mid", kExampleSong);
  ASSERT_TRUE(job.run(request("songs/song.mid")));
  EXPECT_TRUE(job.read("songs/song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\tsong_out.mid\n")));
  // Read from another working folder, the paths still lead to the song.
  const Result<SettingsFileContents> read = loadSettings(job.dir.file("songs/song.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, job.dir.file("songs/song.mid"));
}

}  // namespace
}  // namespace rendlow::test
