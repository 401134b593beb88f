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

TEST(LoadFlow, AMidiFileGivesOneRowPerTrackWithContentAfterTheFirst) {
  JobRun job(kFiveTracks);
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  ASSERT_EQ(job.form.rows().size(), 3u);
  EXPECT_EQ(job.form.rows()[0].trackName, "Bass");
  EXPECT_EQ(job.form.rows()[2].trackName, "");
  EXPECT_EQ(definitionNames(job.form), (std::vector<std::string>{"tr01", "tr02", "tr03"}));
  for (const MemoryForm::Row& row : job.form.rows())
    EXPECT_EQ(row.settings.gridUnit, 0);  // no grid until set
  EXPECT_EQ(job.form.text(Box::OutputFile), "song_out.mid");
}

// The records of a settings file that no track takes are the author's setup of tracks a damaged
// file hid: kept while the song is cut short, stale once it reads whole.
TEST(Project, KeepsTheRecordsNoTrackTookOnlyWhileTheSongIsCutShort) {
  const auto record = [](const char* track, const char* name) {
    TrackSettings r;
    r.trackName = track;
    r.definitionName = name;
    return r;
  };
  const std::vector<TrackSettings> records = {record("A", "a1"), record("B", "b1"), record("Gone", "g"),
                                              record("B", "b2"), record("", "unnamed")};
  using Kind = ReadDamage::Kind;
  const struct {
    std::vector<Kind> damage;
    std::vector<std::string> kept;
  } cases[] = {
      {{Kind::TracksMissing}, {"g", "b2", "unnamed"}},
      {{}, {}},
      {{Kind::TempoZero, Kind::TrackCutShort}, {"g", "b2", "unnamed"}},
      {{Kind::TempoZero}, {}},
      {{Kind::DataCutOff}, {}},
      {{Kind::NotATrack}, {"g", "b2", "unnamed"}},
  };
  Project project;
  for (const char* name : {"Conductor", "A", "B", "A"}) {
    project.song.tracks.emplace_back().name = name;
    project.song.tracks.back().hasContent = true;
  }
  for (const auto& c : cases) {
    project.song.damage.clear();
    for (const Kind kind : c.damage) project.song.damage.push_back({.kind = kind});
    project.keepRecordsOfUnreadTracks(records);
    std::vector<std::string> kept;
    for (const TrackSettings& r : project.recordsOfUnreadTracks) kept.push_back(r.definitionName);
    EXPECT_EQ(kept, c.kept) << c.damage.size();
  }
}

// The k-th line of a name goes to the k-th track of that name; tracks beyond the lines of their
// name take the last one.
// The fields of a "tr" line after its note interval, as an older file saves them.
const std::string kRestOfRow = "\t0\t1\t0\t0\t0\t0\t2\n";

TEST(LoadFlow, ASettingsFileGivesEachTrackOfANameItsOwnLine) {
  JobRun job(kFiveTracks);
  job.put("song.txt", "i\tsong.mid\no\telsewhere.mid\ntr\tBass\tlow\t0\t100" + kRestOfRow +
                          "tr\tBass\thigh\t0\t200" + kRestOfRow + "tr\t\tnoname\t0\t300" + kRestOfRow +
                          "tr\tGone\tx\t0\t400" + kRestOfRow + "g\tG\nt\tT\na\tA\n");
  job.put("one.txt", "i\tsong.mid\ntr\tBass\tlow\t0\t100" + kRestOfRow);
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
  const std::array<const char*, 3> cases[] = {
      // input, the first line of the English message, what else it says
      {"nothere.mid", "The MIDI file cannot be read.", "nothere.mid"},
      {"song.TXT", "The MIDI file cannot be read.", "song.TXT"},  // upper case: a MIDI file
      {"nothere.txt", "The settings file cannot be read.", "nothere.txt"},
      {"noinput.txt", "The settings file cannot be read.", "\"i\" line"},
      {"missing.txt", "The MIDI file cannot be read.", "missing.txt"},
  };
  WorkingFolder here(job.dir.path());
  for (const auto& [input, heading, says] : cases) {
    SCOPED_TRACE(input);
    const Result<void> loaded = loadFile(job.app, job.form, input);
    ASSERT_FALSE(loaded);
    const std::string text = loaded.problem().message.in(Audience::EnglishConsole);
    EXPECT_EQ(firstLine(loaded.problem().message), heading);
    EXPECT_NE(text.find(says), std::string::npos) << text;
    EXPECT_TRUE(job.form.rows().empty());
  }
}

TEST(Paths, FilesAreNamedAfterTheStemOfThePathTheyComeFrom) {
  for (const CaseLine& c : readCaseTable("app/data/stem_paths.txt")) {
    SCOPED_TRACE(c.where);
    EXPECT_EQ(outputNameFor(c.columns[0]), c.columns[1]);
    EXPECT_EQ(settingsPathFor(c.columns[0]), c.columns[2]);
    EXPECT_EQ(chartPathFor(c.columns[0]), c.columns[3]);
  }
  EXPECT_EQ(outputNameFor(""), "");  // an empty input box proposes no name
  EXPECT_EQ(chartPathFor(""), std::nullopt);
}

TEST(Paths, SettingsFilesKeepPathsRelativeToTheirFolderWhenInside) {
  TempDir dir;
  WorkingFolder here(dir.path());
  EXPECT_EQ(keptFrom("songs/", "songs/a.mid"), "a.mid");
  EXPECT_EQ(keptFrom("songs/", "songs/sub/../b.mid"), "b.mid");
  EXPECT_EQ(keptFrom("", "a.mid"), "a.mid");
  EXPECT_EQ(keptFrom("songs/", "other/c.mid"), absolutePath("other/c.mid"));
  EXPECT_EQ(resolveFrom("songs/", "a.mid"), "songs/a.mid");
  EXPECT_EQ(resolveFrom("songs/", "/abs/a.mid"), "/abs/a.mid");
  EXPECT_EQ(resolveFrom("songs/", "C:\\abs\\a.mid"), "C:\\abs\\a.mid");
}

// The commas of a column as the TABs of a "tr" line.
std::string withTabs(std::string fields) {
  std::replace(fields.begin(), fields.end(), ',', '\t');
  return fields;
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
    const std::string text =
        "i\t/a.mid\ng\tG\ntr\t" + withTabs(c.columns[0]) + "\ntr\tB\tb\t0\t0\t0\t1\t0\t0\t0\t0\t2\n";
    writeBytes(dir.file("song.txt"), Bytes(text.begin(), text.end()));
    const Result<SettingsFileContents> read = loadSettings(dir.file("song.txt"));
    ASSERT_FALSE(read) << c.where;
    const std::string told = read.problem().message.in(Audience::EnglishConsole);
    const std::string expected =
        "Line 3 cannot be read: the track setting " + c.columns[1] + " " + c.columns[2];
    EXPECT_EQ(told.substr(0, expected.size()), expected) << c.where << "\n" << told;
  }
}

TEST(SettingsFile, KeepsWhatItWasGivenAndReadsBothLineEnds) {
  TempDir dir;
  Project project;
  const std::string settingsPath = dir.file("song.txt");
  project.inputPath = dir.file("song.mid");
  project.outputPath = dir.file("out.mid");
  project.chartHeader = {"Genre\twith a tab", "タイトル", ""};
  ASSERT_TRUE(saveSettings(project, settingsPath));
  Result<SettingsFileContents> read = loadSettings(settingsPath);
  ASSERT_TRUE(read);
  EXPECT_EQ(std::tuple(read->inputPath, read->outputPath, read->genre, read->title),
            std::tuple(project.inputPath, project.outputPath, project.chartHeader.genre,
                       project.chartHeader.title));

  // CR LF line ends, a later "i" line over an earlier one, other keys and key-less lines ignored.
  const std::string text =
      "i\t/a.mid\r\ni\t/b.mid\r\nz\tignored\r\nno tab\r\ntr\tP\td\t3\t0\t0\t1\t0\t0\t0\t0\t2\r\ng\tG\n";
  writeBytes(dir.file("hand.txt"), Bytes(text.begin(), text.end()));
  read = loadSettings(dir.file("hand.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->inputPath, "/b.mid");
  ASSERT_EQ(read->records.size(), 1u);
  EXPECT_EQ(read->records[0].velocitySplitWidth, 3);
  EXPECT_EQ(read->genre + read->title, "G");
}

TEST(SettingsFile, ADefinitionNameThatCannotNameAFileRefusesTheFileAndNamesTheLine) {
  TempDir dir;
  for (const CaseLine& c : readCaseTable("app/data/definition_names.txt")) {
    SCOPED_TRACE(c.where);
    std::string rows = unescaped(c.columns[0]) + ";";
    for (std::size_t end = rows.find(';'); end != std::string::npos; end = rows.find(';', end + 21))
      rows.insert(end, ",0,960,0,1,0,0,0,0,2");
    std::string text = "i\t/a.mid\n" + withTabs(rows);
    std::replace(text.begin(), text.end(), ';', '\n');
    writeBytes(dir.file("song.txt"), Bytes(text.begin(), text.end()));
    const Result<SettingsFileContents> read = loadSettings(dir.file("song.txt"));
    ASSERT_EQ(read.ok(), c.columns[1] == "0");
    if (read) continue;
    const std::string told = read.problem().message.in(Audience::EnglishConsole);
    EXPECT_NE(told.find("Line " + c.columns[1] + " "), std::string::npos) << told;
  }
}

// A line too long for the reader's buffer, as no saved file has, is told by its number; the
// longest line a file may hold, with its CR LF, is read.
TEST(SettingsFile, ALineTooLongToReadRefusesTheFileAndNamesTheLine) {
  TempDir dir;
  const std::string longest = "g\t" + std::string(kMaxSettingsLineBytes - 2, 'x');
  const std::string fits = "i\t/a.mid\n" + longest + "\r\n";
  writeBytes(dir.file("fits.txt"), Bytes(fits.begin(), fits.end()));
  const Result<SettingsFileContents> read = loadSettings(dir.file("fits.txt"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->genre.size(), kMaxSettingsLineBytes - 2);

  const std::string damaged = "i\t/a.mid\n" + longest + "x\nt\tlost\n";
  writeBytes(dir.file("damaged.txt"), Bytes(damaged.begin(), damaged.end()));
  const Result<SettingsFileContents> refused = loadSettings(dir.file("damaged.txt"));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.problem().message.in(Audience::EnglishConsole),
            settingsLineUnreadableReason(2, kMaxSettingsLineBytes).in(Audience::EnglishConsole));
}

TEST(SettingsFile, ALineTooLongIsRefusedAndTheOldFileStays) {
  TempDir dir;
  Project project;
  const std::string settingsPath = dir.file("song.txt");
  writeBytes(settingsPath, {'o', 'l', 'd'});
  project.chartHeader.artist = std::string(510, 'a');
  const Result<void> saved = saveSettings(project, settingsPath);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.problem().message.in(Audience::EnglishConsole).find("ARTIST"), std::string::npos);
  EXPECT_EQ(readText(settingsPath), "old");
}

// --- Opening a file in the window ------------------------------------------------------------

// The English first line of each message the window was shown, with its tone.
std::vector<std::pair<std::string, Tone>> told(const MemoryForm& form) {
  std::vector<std::pair<std::string, Tone>> lines;
  for (std::size_t i = 0; i < form.messages().size(); ++i)
    lines.emplace_back(firstLine(form.messages()[i]), form.tones()[i]);
  return lines;
}

// Each case opens `opened` in a folder holding "song.mid" (the five-track song), "other.mid"
// (the example song, shown first) and the files given, then checks what the window shows.
TEST(WindowOpen, WhatTheFolderHoldsDecidesWhatLoadsAndWhatIsTold) {
  const std::string setup = "i\tsong.mid\ntr\tBass\tlow\t0\t100" + kRestOfRow + "g\tRock\nt\tT\na\tA\n";
  const Bytes damaged(kExampleSong.begin(), kExampleSong.begin() + 300);
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string opened;
    bool loads;
    std::string genre;         // shown after the open
    std::string firstRowName;  // the first row's definition name after the open
    std::string status;        // in English
    std::vector<std::pair<std::string, Tone>> messages;
  } cases[] = {
      {"the saved setup beside the song",
       {{"song.txt", setup}},
       "song.mid",
       true,
       "Rock",
       "low",
       "using the settings in song.txt",
       {}},
      {"the setup itself",
       {{"song.txt", setup}},
       "song.txt",
       true,
       "Rock",
       "low",
       "using the settings in song.txt",
       {}},
      {"a setup of another song beside it",
       {{"song.txt", "i\tother.mid\ng\tJazz\n"}},
       "song.mid",
       true,
       "",
       "tr01",
       "",
       {}},
      {"a setup whose song is gone",
       {{"lost.txt", "i\tgone.mid\ng\tPop\n"}},
       "lost.txt",
       false,
       "",
       "",
       "",
       {{"The song this setup was made for is not there: " + std::string("gone.mid"), Tone::Error}}},
      {"a setup that names no song",
       {{"empty.txt", "g\tPop\n"}},
       "empty.txt",
       false,
       "",
       "",
       "",
       {{"The settings file cannot be read.", Tone::Error}}},
      {"a saved row that does not read whole",
       {{"song.txt", "i\tsong.mid\ntr\tBass\tlow\t0\t-100" + kRestOfRow}},
       "song.mid",
       false,
       "",
       "",
       "",
       {{"The settings file cannot be read.", Tone::Error}}},
      {"no MIDI file",
       {{"notes.mid", "just text"}},
       "notes.mid",
       false,
       "",
       "",
       "",
       {{"The MIDI file cannot be read.", Tone::Error}}},
      {"no file at all",
       {},
       "missing.mid",
       false,
       "",
       "",
       "",
       {{"The MIDI file cannot be read.", Tone::Error}}},
      {"a damaged song",
       {{"cut.mid", std::string(damaged.begin(), damaged.end())}},
       "cut.mid",
       true,
       "",
       "tr01",
       "",
       {{"The MIDI file is damaged.", Tone::Warning}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JobRun job(kFiveTracks);
    job.put("other.mid", kExampleSong);
    for (const auto& [name, text] : c.files) job.put(name, text);
    WorkingFolder here(job.dir.path());
    ASSERT_TRUE(openInWindow(job.app, job.form, "other.mid"));
    const std::vector<MemoryForm::Row> before = job.form.rows();
    const Song songBefore = job.app.project.song;
    job.form.setText(Box::Genre, "kept");

    EXPECT_EQ(openInWindow(job.app, job.form, c.opened), c.loads);
    EXPECT_EQ(told(job.form), c.messages);
    if (!c.loads) {
      // The song shown before stays, with its table, its boxes and what an output would convert.
      EXPECT_EQ(job.form.text(Box::InputFile), "other.mid");
      EXPECT_EQ(job.form.text(Box::Genre), "kept");
      ASSERT_EQ(job.form.rows().size(), before.size());
      for (std::size_t row = 0; row < before.size(); ++row)
        EXPECT_EQ(job.form.rows()[row].trackName, before[row].trackName);
      EXPECT_EQ(job.app.project.inputPath, "other.mid");
      EXPECT_EQ(job.app.project.song.bytes, songBefore.bytes);
      EXPECT_TRUE(job.app.hasSong());
      continue;
    }
    EXPECT_EQ(job.form.status().in(Audience::EnglishConsole), c.status);
    EXPECT_EQ(job.form.text(Box::Genre), c.genre);
    ASSERT_FALSE(job.form.rows().empty());
    EXPECT_EQ(job.form.rows()[0].settings.definitionName, c.firstRowName);
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
