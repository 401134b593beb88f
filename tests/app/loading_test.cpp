// Loading a song: the rows the form shows, the names it proposes for its files, and the settings
// file: what a "tr" line gives back, what a saved file keeps, and the paths it keeps.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "app/paths.h"
#include "app/project.h"
#include "app/settings_file.h"
#include "app/track_line.h"
#include "base/messages.h"
#include "base/platform.h"
#include "job_fixture.h"
#include "support/case_table.h"

namespace rendlow::test {
namespace {

// A conductor, an empty track, two named tracks of one name, and an unnamed one.
const Bytes kFiveTracks = appSong("five_tracks.mid");

// The definition name of each row.
std::vector<std::string> definitionNames(const MemoryForm& form) {
  std::vector<std::string> names;
  for (const MemoryForm::Row& row : form.rows()) names.push_back(row.settings.definitionName);
  return names;
}

// The commas of a column as the TABs of a "tr" line.
std::string withTabs(std::string fields) {
  std::replace(fields.begin(), fields.end(), ',', '\t');
  return fields;
}

// A column's text with its commas as TABs and its ";" as line ends.
std::string asFile(const std::string& column) {
  std::string text = withTabs(column) + "\n";
  std::replace(text.begin(), text.end(), ';', '\n');
  return text;
}

// The settings file of `text`, read back from `dir`.
Result<SettingsFileContents> settingsOf(const TempDir& dir, const std::string& text) {
  writeBytes(dir.file("song.txt"), Bytes(text.begin(), text.end()));
  return loadSettings(dir.file("song.txt"));
}

TEST(LoadFlow, AMidiFileGivesOneRowPerTrackWithContentAfterTheFirst) {
  JobRun job(kFiveTracks);
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  ASSERT_EQ(definitionNames(job.form), (std::vector<std::string>{"tr01", "tr02", "tr03"}));
  EXPECT_EQ(std::tuple(job.form.rows()[0].trackName, job.form.rows()[2].trackName), std::tuple("Bass", ""));
  EXPECT_EQ(job.form.rows()[1].settings.gridUnit, 0);  // no grid until set
  EXPECT_EQ(job.form.text(Box::OutputFile), "song_out.mid");
}

// The records of a settings file that no track takes are the author's setup of tracks a damaged
// file hid: kept while the song is cut short, stale once it reads whole.
TEST(Project, KeepsTheRecordsNoTrackTookOnlyWhileTheSongIsCutShort) {
  std::vector<TrackSettings> records;
  for (const auto& [track, name] :
       {std::pair("A", "a1"), {"B", "b1"}, {"Gone", "g"}, {"B", "b2"}, {"", "u"}}) {
    records.emplace_back().trackName = track;
    records.back().definitionName = name;
  }
  using Kind = ReadDamage::Kind;
  const std::pair<std::vector<Kind>, bool> cases[] = {{{Kind::TracksMissing}, true},
                                                      {{}, false},
                                                      {{Kind::TempoZero, Kind::TrackCutShort}, true},
                                                      {{Kind::TempoZero}, false},
                                                      {{Kind::DataCutOff}, false},
                                                      {{Kind::NotATrack}, true}};
  const std::vector<std::string> none, unread = {"g", "b2", "u"};
  Project project;
  for (const char* name : {"Conductor", "A", "B", "A"}) {
    project.song.tracks.emplace_back().name = name;
    project.song.tracks.back().hasContent = true;
  }
  for (const auto& [damage, keeps] : cases) {
    project.song.damage.clear();
    for (const Kind kind : damage) project.song.damage.push_back({.kind = kind});
    project.keepRecordsOfUnreadTracks(records);
    std::vector<std::string> kept;
    for (const TrackSettings& r : project.recordsOfUnreadTracks) kept.push_back(r.definitionName);
    EXPECT_EQ(kept, keeps ? unread : none) << damage.size();
  }
}

// The k-th line of a name goes to the k-th track of that name; tracks beyond the lines of their
// name take the last one.
TEST(LoadFlow, ASettingsFileGivesEachTrackOfANameItsOwnLine) {
  JobRun job(kFiveTracks);
  const std::string rest = ",0,1,0,0,0,0,2;";  // the fields after the note interval, as older files end
  job.put("song.txt", asFile("i,song.mid;o,elsewhere.mid;tr,Bass,low,0,100" + rest + "tr,Bass,high,0,200" +
                             rest + "tr,,noname,0,300" + rest + "tr,Gone,x,0,400" + rest + "g,G;t,T;a,A"));
  job.put("one.txt", asFile("i,song.mid;tr,Bass,low,0,100" + rest));
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.txt"));
  EXPECT_EQ(definitionNames(job.form), (std::vector<std::string>{"low", "high", "noname"}));
  EXPECT_EQ(job.form.rows()[1].settings.noteInterval, 200);
  EXPECT_EQ(job.form.text(Box::InputFile), "song.mid");
  EXPECT_EQ(job.form.text(Box::OutputFile), "song_out.mid");  // from the input, not the "o" line
  EXPECT_EQ(job.form.text(Box::Title), "T");
  ASSERT_TRUE(loadFile(job.app, job.form, "one.txt"));
  EXPECT_EQ(definitionNames(job.form), (std::vector<std::string>{"low", "low", "tr03"}));
}

TEST(LoadFlow, WhatCannotBeLoadedIsToldWithTheFileAndTheReason) {
  JobRun job;
  job.put("song.TXT", "i\tx");
  job.put("noinput.txt", "o\tx\n");
  job.put("missing.txt", "i\tgone.mid\n");
  WorkingFolder here(job.dir.path());
  for (const CaseLine& c : readCaseTable("app/data/load_failures.txt")) {
    const Result<void> loaded = loadFile(job.app, job.form, c.columns[0]);
    ASSERT_FALSE(loaded) << c.where;
    EXPECT_EQ(firstLine(loaded.problem().message), c.columns[1]) << c.where;
    EXPECT_NE(loaded.problem().message.in(Audience::EnglishConsole).find(c.columns[2]), std::string::npos)
        << c.where;
    EXPECT_TRUE(job.form.rows().empty());
  }
}

TEST(Paths, FilesAreNamedAfterTheStemOfThePathTheyComeFrom) {
  for (const CaseLine& c : readCaseTable("app/data/stem_paths.txt")) {
    EXPECT_EQ(
        std::tuple(outputNameFor(c.columns[0]), settingsPathFor(c.columns[0]), chartPathFor(c.columns[0])),
        std::tuple(c.columns[1], c.columns[2], std::optional(c.columns[3])))
        << c.where;
  }
  EXPECT_EQ(outputNameFor(""), "");  // an empty input box proposes no name
  EXPECT_EQ(chartPathFor(""), std::nullopt);
}

TEST(Paths, SettingsFilesKeepPathsRelativeToTheirFolderWhenInside) {
  TempDir dir;
  WorkingFolder here(dir.path());
  EXPECT_EQ(keptFrom("songs/", "songs/sub/../b.mid"), "b.mid");
  EXPECT_EQ(keptFrom("", "a.mid"), "a.mid");
  EXPECT_EQ(keptFrom("songs/", "other/c.mid"), absolutePath("other/c.mid"));
  EXPECT_EQ(resolveFrom("songs/", "a.mid"), "songs/a.mid");
  EXPECT_EQ(resolveFrom("songs/", "/abs/a.mid"), "/abs/a.mid");
  EXPECT_EQ(resolveFrom("songs/", "C:\\abs\\a.mid"), "C:\\abs\\a.mid");
}

TEST(TrackLine, ReadsEveryFieldAndLetsLinesOfOlderFilesEndEarly) {
  for (const CaseLine& c : readCaseTable("app/data/track_lines.txt")) {
    const Result<TrackSettings> record = readTrackFields(withTabs(c.columns[0]), 1);
    ASSERT_TRUE(record) << c.where << record.problem().message.in(Audience::EnglishConsole);
    EXPECT_EQ(formatTrackFields(record->trackName, *record), withTabs(c.columns[1])) << c.where;
  }
}

// A row that does not read as it was saved would change the author's setup without a word: the
// whole file is refused, naming the line and the field.
TEST(SettingsFile, ARowThatDoesNotReadWholeRefusesTheFileAndNamesLineAndField) {
  TempDir dir;
  for (const CaseLine& c : readCaseTable("app/data/refused_track_lines.txt")) {
    const Result<SettingsFileContents> read =
        settingsOf(dir, asFile("i,/a.mid;g,G;tr," + c.columns[0] + ";tr,B,b,0,0,0,1,0,0,0,0,2"));
    ASSERT_FALSE(read) << c.where;
    const std::string told = read.problem().message.in(Audience::EnglishConsole);
    EXPECT_TRUE(
        told.starts_with("Line 3 cannot be read: the track setting " + c.columns[1] + " " + c.columns[2]))
        << c.where << "\n"
        << told;
  }
}

TEST(SettingsFile, KeepsWhatItWasGivenAndReadsBothLineEnds) {
  TempDir dir;
  Project project;
  project.inputPath = dir.file("song.mid");
  project.outputPath = dir.file("out.mid");
  project.chartHeader = {"Genre\twith a tab", "タイトル", ""};
  ASSERT_TRUE(saveSettings(project, dir.file("song.txt")));
  Result<SettingsFileContents> read = loadSettings(dir.file("song.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(std::tuple(read->inputPath, read->outputPath, read->genre, read->title),
            std::tuple(project.inputPath, project.outputPath, project.chartHeader.genre,
                       project.chartHeader.title));

  // CR LF line ends, a later "i" line over an earlier one, other keys and key-less lines ignored.
  read = settingsOf(
      dir, "i\t/a.mid\r\ni\t/b.mid\r\nz\tignored\r\nno tab\r\ntr\tP\td\t3\t0\t0\t1\t0\t0\t0\t0\t2\r\ng\tG\n");
  ASSERT_TRUE(read && read->records.size() == 1);
  EXPECT_EQ(std::tuple(read->inputPath, read->records[0].velocitySplitWidth, read->genre + read->title),
            std::tuple("/b.mid", 3, "G"));
}

TEST(SettingsFile, ADefinitionNameThatCannotNameAFileRefusesTheFileAndNamesTheLine) {
  TempDir dir;
  for (const CaseLine& c : readCaseTable("app/data/definition_names.txt")) {
    SCOPED_TRACE(c.where);
    std::string rows = unescaped(c.columns[0]) + ";";
    for (std::size_t end = rows.find(';'); end != std::string::npos; end = rows.find(';', end + 21))
      rows.insert(end, ",0,960,0,1,0,0,0,0,2");
    const Result<SettingsFileContents> read = settingsOf(dir, asFile("i,/a.mid;" + rows));
    ASSERT_EQ(read.ok(), c.columns[1] == "0");
    if (!read) {
      EXPECT_NE(read.problem().message.in(Audience::EnglishConsole).find("Line " + c.columns[1] + " "),
                std::string::npos);
    }
  }
}

// A line too long for the reader's buffer, as no saved file has, is told by its number; the
// longest line a file may hold, with its CR LF, is read. One too long is not saved either.
TEST(SettingsFile, ALineTooLongIsToldByItsNumberAndNeverWritten) {
  TempDir dir;
  const std::string longest = "g\t" + std::string(kMaxSettingsLineBytes - 2, 'x');
  const Result<SettingsFileContents> read = settingsOf(dir, "i\t/a.mid\n" + longest + "\r\n");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->genre.size(), kMaxSettingsLineBytes - 2);
  const Result<SettingsFileContents> refused = settingsOf(dir, "i\t/a.mid\n" + longest + "x\nt\tlost\n");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.problem().message.in(Audience::EnglishConsole),
            settingsLineUnreadableReason(2, kMaxSettingsLineBytes).in(Audience::EnglishConsole));

  Project project;
  writeBytes(dir.file("song.txt"), {'o', 'l', 'd'});
  project.chartHeader.artist = std::string(510, 'a');
  const Result<void> saved = saveSettings(project, dir.file("song.txt"));
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.problem().message.in(Audience::EnglishConsole).find("ARTIST"), std::string::npos);
  EXPECT_EQ(readText(dir.file("song.txt")), "old");
}

// --- Opening a file in the window ------------------------------------------------------------

TEST(WindowOpen, WhatTheFolderHoldsDecidesWhatLoadsAndWhatIsTold) {
  const Bytes cut(kExampleSong.begin(), kExampleSong.begin() + 300);
  for (const CaseLine& c : readCaseTable("app/data/window_opens.txt")) {
    SCOPED_TRACE(c.where);
    JobRun job(kFiveTracks);
    job.put("other.mid", kExampleSong);
    if (c.columns[1].starts_with("<"))
      job.put(c.columns[0], cut);
    else if (c.columns[0] != "-")
      job.put(c.columns[0], asFile(c.columns[1]));
    WorkingFolder here(job.dir.path());
    ASSERT_TRUE(openInWindow(job.app, job.form, "other.mid"));
    const std::vector<std::string> rowsBefore = definitionNames(job.form);
    const Bytes songBefore = job.app.project.song.bytes;
    job.form.setText(Box::Genre, "kept");

    EXPECT_EQ(openInWindow(job.app, job.form, c.columns[2]), c.columns[3] == "yes");
    std::string told = "-";
    if (!job.form.messages().empty())
      told =
          (job.form.tones()[0] == Tone::Error ? "error: " : "warning: ") + firstLine(job.form.messages()[0]);
    EXPECT_EQ(told, c.columns[7]);
    EXPECT_LE(job.form.messages().size(), 1u);
    if (c.columns[3] == "no") {
      EXPECT_EQ(
          std::tuple(job.form.text(Box::InputFile), job.form.text(Box::Genre), definitionNames(job.form)),
          std::tuple("other.mid", "kept", rowsBefore));
      EXPECT_EQ(job.app.project.inputPath, "other.mid");
      EXPECT_EQ(job.app.project.song.bytes, songBefore);
      continue;
    }
    EXPECT_EQ(job.form.status().in(Audience::EnglishConsole), c.columns[6]);
    EXPECT_EQ(job.form.text(Box::Genre), c.columns[4]);
    ASSERT_FALSE(job.form.rows().empty());
    EXPECT_EQ(job.form.rows()[0].settings.definitionName, c.columns[5]);
  }
}

// The window saves the paths of a song beside its settings file as the command line does, so a
// copied folder opens its own song.
TEST(WindowOpen, ACopiedFolderOpensItsOwnSong) {
  JobRun job(kFiveTracks);
  const std::string copy = job.dir.file("copy");
  {
    WorkingFolder here(job.dir.path());
    ASSERT_TRUE(openInWindow(job.app, job.form, job.dir.file("song.mid")));
    ASSERT_TRUE(runOutput(job.app, requestFromForm(job.form, OutputChoice::SettingsOnly), &job.form));
    EXPECT_EQ(job.read("song.txt").rfind(withPlatformLineEnds("i\tsong.mid\n"), 0), 0u);
    std::filesystem::create_directory(copy);
    for (const char* name : {"song.mid", "song.txt"})
      std::filesystem::copy_file(job.dir.file(name), copy + "/" + name);
    std::filesystem::remove(job.dir.file("song.mid"));
  }
  Application app;
  MemoryForm form;
  ASSERT_TRUE(openInWindow(app, form, copy + "/song.txt"));
  EXPECT_EQ(form.text(Box::InputFile), copy + "/song.mid");
}

}  // namespace
}  // namespace rendlow::test
