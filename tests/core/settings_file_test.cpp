#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "app/project.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

// What a "\n" of the formats becomes in a file written in text mode.
#ifdef _WIN32
const std::string kEol = "\r\n";
#else
const std::string kEol = "\n";
#endif

// The bytes of a text file holding these lines.
std::string fileOf(std::initializer_list<std::string> lines) {
  std::string file;
  for (const std::string& line : lines) file += line + kEol;
  return file;
}

std::shared_ptr<MidiTrack> addTrack(Project& project, const std::string& name, bool hasContent = true) {
  auto track = std::make_shared<MidiTrack>();
  track->name = name;
  track->hasContent = hasContent;
  project.tracks.push_back(track);
  return track;
}

// A conductor track, a listed track with every field set, a track without content (no row) and
// a listed track with its defaults.
void fillProject(Project& project, const std::string& settingsPath) {
  project.settingsPath = settingsPath;
  project.inputPath = "C:\\music\\song.mid";
  project.outputPath = "C:\\music\\song_out.mid";
  project.genre = "Trance";
  project.title = "Song\tTitle";
  project.artist = "";
  addTrack(project, "Conductor");
  TrackSettings& piano = addTrack(project, "Piano")->settings;
  piano.trackName = "not written: the MIDI name is";
  piano.definitionName = "pno";
  piano.velocitySplitWidth = 16;
  piano.ccSplitWidth = 8;
  piano.noteInterval = 480;
  piano.gridUnit = 0;
  piano.multipleThreshold = 120;
  piano.ccInterval = 30;
  piano.splitMethod = 2;
  piano.ignoreBpm = true;
  piano.enabled = false;
  piano.wavDefinitionGap = 5;
  addTrack(project, "Silent", false);
  addTrack(project, "");
}

SettingsFileContents load(const std::string& text) {
  test::TempDir dir;
  const std::string path = dir.file("in.txt");
  test::writeBytes(path, test::Bytes(text.begin(), text.end()));
  SettingsFileContents contents;
  EXPECT_TRUE(loadSettings(path, contents));
  return contents;
}

TrackSettings scanned(const std::string& fields) {
  const SettingsFileContents contents = load("tr\t" + fields + "\n");
  EXPECT_EQ(contents.records.size(), 1u);
  return contents.records.empty() ? TrackSettings{} : contents.records.front();
}

TEST(SaveSettings, WritesEveryLineInOrderByteForByte) {
  test::TempDir dir;
  Project project;
  fillProject(project, dir.file("song.txt"));
  ASSERT_TRUE(saveSettings(project));
  const std::string expected = fileOf({
      "i\tC:\\music\\song.mid",
      "o\tC:\\music\\song_out.mid",
      "tr\tPiano\tpno\t16\t480\t0\t2\t120\t1\t8\t30\t5",
      "tr\t\t\t0\t960\t1920\t1\t0\t0\t0\t0\t2",
      "g\tTrance",
      "t\tSong\tTitle",
      "a\t",
  });
  EXPECT_EQ(test::readText(dir.file("song.txt")), expected);
}

TEST(SaveSettings, ReportsAFileThatCannotBeWritten) {
  test::TempDir dir;
  Project project;
  fillProject(project, "");
  const WriteStatus noName = saveSettings(project);
  EXPECT_FALSE(noName);
  EXPECT_FALSE(noName.reason.empty());

  project.settingsPath = dir.file("no-such-folder/song.txt");
  const WriteStatus noFolder = saveSettings(project);
  EXPECT_FALSE(noFolder);
  EXPECT_FALSE(noFolder.reason.empty());
}

// "tr\tPiano\t" + definitionName + "\t16\t480\t0\t2\t120\t1\t8\t30\t5" is 33 bytes plus the definition name.
TEST(SaveSettings, WritesALineOfExactly511BytesButRefusesOneByteMore) {
  test::TempDir dir;
  const std::string path = dir.file("song.txt");
  Project project;
  fillProject(project, path);
  TrackSettings& piano = project.listedTrack(0)->settings;

  piano.definitionName = std::string(511 - 33, 'd');
  ASSERT_TRUE(saveSettings(project));
  const std::string written = test::readText(path);
  const std::string line = "tr\tPiano\t" + piano.definitionName + "\t16\t480\t0\t2\t120\t1\t8\t30\t5";
  ASSERT_EQ(line.size(), 511u);
  EXPECT_NE(written.find(line + kEol), std::string::npos);

  piano.definitionName += 'd';
  const WriteStatus status = saveSettings(project);
  EXPECT_FALSE(status);
  // The reason names the row (counted from 1, as the table shows it) and the line's length.
  EXPECT_EQ(status.reason, settingsLineTooLongReason(settingsLineOfRow(0, "Piano"), 512, 511));
  EXPECT_NE(status.reason.find("Piano"), std::string::npos);
  // Nothing is written cut short: the file that was there is still whole.
  EXPECT_EQ(test::readText(path), written);
}

TEST(SaveSettings, RefusesAPathTooLongForItsLine) {
  test::TempDir dir;
  Project project;
  fillProject(project, dir.file("song.txt"));
  project.inputPath = std::string(510, 'p');
  const WriteStatus status = saveSettings(project);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, settingsLineTooLongReason(settingsLineOfPath(true), 512, 511));
  EXPECT_TRUE(test::readBytes(dir.file("song.txt")).empty());
}

TEST(SaveSettings, RoundTripGivesBackEveryRowOfAUniquelyNamedTrack) {
  test::TempDir dir;
  Project project;
  fillProject(project, dir.file("song.txt"));
  project.tracks[3]->name = "Bass";
  project.tracks[3]->settings.definitionName = "bs";
  project.tracks[3]->settings.splitMethod = -2;
  project.tracks[3]->settings.ccInterval = -7;
  ASSERT_TRUE(saveSettings(project));

  SettingsFileContents contents;
  ASSERT_TRUE(loadSettings(project.settingsPath, contents));
  EXPECT_EQ(contents.inputPath, project.inputPath);
  EXPECT_EQ(contents.outputPath, project.outputPath);
  EXPECT_EQ(contents.genre, "Trance");
  EXPECT_EQ(contents.title, "Song\tTitle");
  EXPECT_EQ(contents.artist, "");
  ASSERT_EQ(contents.records.size(), 2u);
  const auto listed = project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    TrackSettings expected = listed[row]->settings;
    expected.trackName = listed[row]->name;
    expected.enabled = true;  // not stored: every record comes back enabled
    EXPECT_EQ(contents.records[row], expected) << "row " << row;
  }
}

TEST(SaveSettings, AnIgnoreBpmFlagOfSevenIsWrittenBackAsOne) {
  test::TempDir dir;
  Project project;
  fillProject(project, dir.file("song.txt"));
  const TrackSettings record = scanned("Piano\tpno\t0\t960\t1920\t1\t0\t7");
  EXPECT_TRUE(record.ignoreBpm);
  project.tracks[3]->settings = record;
  ASSERT_TRUE(saveSettings(project));
  EXPECT_NE(test::readText(project.settingsPath).find("tr\t\tpno\t0\t960\t1920\t1\t0\t1\t0\t0\t2" + kEol),
            std::string::npos);
}

TEST(ScanTrackLine, AShortLineKeepsTheDefaultsOfTheMissingFields) {
  TrackSettings expected;
  expected.trackName = "Piano";
  expected.definitionName = "pno";
  expected.velocitySplitWidth = 0;
  expected.noteInterval = 960;
  EXPECT_EQ(scanned("Piano\tpno\t0\t960"), expected);

  expected.velocitySplitWidth = 3;
  expected.noteInterval = 100;
  EXPECT_EQ(scanned("Piano\tpno\t3\t100"), expected);
}

TEST(ScanTrackLine, AnEmptyTextFieldStopsTheScan) {
  TrackSettings nameOnly;
  nameOnly.trackName = "Piano";
  EXPECT_EQ(scanned("Piano\t\t5\t6\t7\t0\t9\t1\t11\t12\t13"), nameOnly);
  EXPECT_EQ(scanned("\tpno\t5\t6\t7\t0\t9\t1\t11\t12\t13"), TrackSettings{});
  EXPECT_EQ(scanned(""), TrackSettings{});
}

TEST(ScanTrackLine, EachTabMatchesExactlyOneTabButNumbersSkipBlanks) {
  // A second TAB before a number is skipped with the blanks; before a text it ends the scan.
  const TrackSettings numbers = scanned("Piano\tpno\t\t 5\t  -6\t+7\t\t\t0");
  EXPECT_EQ(numbers.velocitySplitWidth, 5);
  EXPECT_EQ(numbers.noteInterval, -6);
  EXPECT_EQ(numbers.gridUnit, 7);
  EXPECT_EQ(numbers.splitMethod, 0);
  EXPECT_EQ(numbers.multipleThreshold, 0);

  // A TAB inside a name splits it: the rest lands in the next field, and the scan stops later.
  const TrackSettings split = scanned("Pi\tano\tpno\t5");
  EXPECT_EQ(split.trackName, "Pi");
  EXPECT_EQ(split.definitionName, "ano");
  EXPECT_EQ(split.velocitySplitWidth, 0);
  EXPECT_EQ(split.noteInterval, 960);

  // A space before the separator is not a TAB: the scan stops after the definition name.
  const TrackSettings spaced = scanned("Piano\tpno \t5");
  EXPECT_EQ(spaced.definitionName, "pno ");
  EXPECT_EQ(spaced.velocitySplitWidth, 5);
  EXPECT_EQ(scanned("Piano\tpno\t5 \t6").noteInterval, 960);
}

TEST(ScanTrackLine, StopsAtTheFirstFieldThatIsNotANumber) {
  const TrackSettings record = scanned("Piano\tpno\t1\t2\tx\t0\t5\t1\t7\t8\t9");
  EXPECT_EQ(record.velocitySplitWidth, 1);
  EXPECT_EQ(record.noteInterval, 2);
  EXPECT_EQ(record.gridUnit, 1920);
  EXPECT_EQ(record.multipleThreshold, 0);
  EXPECT_FALSE(record.ignoreBpm);
  EXPECT_EQ(record.wavDefinitionGap, 2);

  EXPECT_EQ(scanned("Piano\tpno\t-\t2").velocitySplitWidth, 0);
  EXPECT_EQ(scanned("Piano\tpno\t-\t2").noteInterval, 960);
  // Digits then other text: the number matches, the separator after it does not.
  const TrackSettings trailing = scanned("Piano\tpno\t12ab\t2");
  EXPECT_EQ(trailing.velocitySplitWidth, 12);
  EXPECT_EQ(trailing.noteInterval, 960);
}

TEST(ScanTrackLine, NumbersOutsideThirtyTwoBitsDoNotMatch) {
  const TrackSettings limits = scanned("P\td\t-2147483648\t2147483647\t-0");
  EXPECT_EQ(limits.velocitySplitWidth, INT32_MIN);
  EXPECT_EQ(limits.noteInterval, INT32_MAX);
  EXPECT_EQ(limits.gridUnit, 0);

  const TrackSettings over = scanned("P\td\t5\t2147483648\t7");
  EXPECT_EQ(over.velocitySplitWidth, 5);
  EXPECT_EQ(over.noteInterval, 960);
  EXPECT_EQ(over.gridUnit, 1920);
  EXPECT_EQ(scanned("P\td\t-2147483649").velocitySplitWidth, 0);
  // So many digits that any unchecked accumulator would have wrapped round to a small value.
  EXPECT_EQ(scanned("P\td\t" + std::string(400, '9')).velocitySplitWidth, 0);
  EXPECT_EQ(scanned("P\td\t18446744073709551621").velocitySplitWidth, 0);
  EXPECT_EQ(scanned("P\td\t00000000000000000000000000042").velocitySplitWidth, 42);
}

TEST(LoadSettings, RestOfLineValuesKeepTheirTabsAndTheLastLineOfAKeyWins) {
  const SettingsFileContents contents = load(
      "i\tfirst.mid\n"
      "i\ta\tb.mid\n"
      "o\tout\tput.mid\n"
      "g\tg\tenre\n"
      "t\t\ttitle\t\n"
      "a\tart\tist\n");
  EXPECT_EQ(contents.inputPath, "a\tb.mid");
  EXPECT_EQ(contents.outputPath, "out\tput.mid");
  EXPECT_EQ(contents.genre, "g\tenre");
  EXPECT_EQ(contents.title, "\ttitle\t");
  EXPECT_EQ(contents.artist, "art\tist");
  EXPECT_TRUE(contents.records.empty());
}

TEST(LoadSettings, KeepsEveryTrackRecordInFileOrder) {
  const SettingsFileContents contents = load(
      "tr\tPiano\tpno\t1\n"
      "tr\tPiano\tpiano\t2\n"
      "tr\n"
      "tr\t\n");
  ASSERT_EQ(contents.records.size(), 3u);
  EXPECT_EQ(contents.records[0].definitionName, "pno");
  EXPECT_EQ(contents.records[1].definitionName, "piano");
  EXPECT_EQ(contents.records[1].velocitySplitWidth, 2);
  EXPECT_EQ(contents.records[2], TrackSettings{});
}

TEST(LoadSettings, IgnoresUnknownKeysLinesWithoutTabAndKeysOfTheWrongCase) {
  const SettingsFileContents contents = load(
      "i\n"
      "I\tupper.mid\n"
      "TR\tPiano\tpno\n"
      "x\ty\n"
      "\tno key\n"
      "i \tspaced.mid\n"
      "o\tout.mid\n");
  EXPECT_EQ(contents.inputPath, "");
  EXPECT_EQ(contents.outputPath, "out.mid");
  EXPECT_TRUE(contents.records.empty());
}

TEST(LoadSettings, ReadsCrLfAndLfAlikeAndALastLineWithoutLineEnd) {
  const SettingsFileContents contents = load(
      "i\tsong.mid\r\n"
      "tr\tPiano\tpno\t1\t2\r\n"
      "g\tgenre\n"
      "a\tartist");
  EXPECT_EQ(contents.inputPath, "song.mid");
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].noteInterval, 2);
  EXPECT_EQ(contents.genre, "genre");
  EXPECT_EQ(contents.artist, "artist");
}

TEST(LoadSettings, ALineLongerThan511BytesEndsTheReading) {
  const std::string fits = "g\t" + std::string(509, 'g');
  const std::string tooLong = "t\t" + std::string(510, 't');
  const SettingsFileContents contents = load("i\tsong.mid\n" + fits + "\r\n" + tooLong + "\na\tartist\n");
  EXPECT_EQ(contents.inputPath, "song.mid");
  EXPECT_EQ(contents.genre, std::string(509, 'g'));
  EXPECT_EQ(contents.title, "");
  EXPECT_EQ(contents.artist, "");

  // The limit holds for a last line without line end too.
  EXPECT_EQ(load("i\tsong.mid\n" + tooLong).title, "");
  EXPECT_EQ(load("i\tsong.mid\n" + fits).genre, std::string(509, 'g'));
  // A line that never ends is not read whole.
  EXPECT_EQ(load("i\tsong.mid\n" + std::string(1 << 20, 'x')).inputPath, "song.mid");
}

TEST(LoadSettings, ALineEndsAtItsFirstNulByte) {
  const SettingsFileContents contents = load(std::string("i\tsong\0.mid\ng\0\tgenre\nt\ttitle\n", 30));
  EXPECT_EQ(contents.inputPath, "song");
  EXPECT_EQ(contents.genre, "");
  EXPECT_EQ(contents.title, "title");
}

TEST(LoadSettings, AFileThatCannotBeOpenedLeavesTheContentsEmpty) {
  test::TempDir dir;
  SettingsFileContents contents;
  contents.inputPath = "stale.mid";
  contents.records.emplace_back();
  EXPECT_FALSE(loadSettings(dir.file("missing.txt"), contents));
  EXPECT_EQ(contents.inputPath, "");
  EXPECT_TRUE(contents.records.empty());
}

}  // namespace
}  // namespace rendlow
