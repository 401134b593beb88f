// Loading a song: the rows the form shows, the names it proposes, and the saved settings that
// come back with a settings file.

#include "app/load_flow.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

// A conductor, an empty track, two named tracks of one name, and an unnamed one.
Bytes songOfFiveTracks() {
  MidiBuilder song;
  song.track().name("Conductor").tempoBpm(0, 120).endOfTrack(0);
  song.track().name("Setup").programChange(0, 0, 5).endOfTrack(0);
  for (const char* name : {"Bass", "Bass", ""}) {
    TrackBuilder& track = song.track();
    if (*name) track.name(name);
    track.noteOn(0, 1, 40, 100).noteOff(480, 1, 40).endOfTrack(480);
  }
  return song.bytes();
}

// The definition name of each row.
std::vector<std::string> definitionNames(const MemoryForm& form) {
  std::vector<std::string> names;
  for (const MemoryForm::Row& row : form.rows()) names.push_back(row.settings.definitionName);
  return names;
}

TEST(LoadFlow, AMidiFileGivesOneRowPerTrackWithContentAfterTheFirst) {
  JobRun job(songOfFiveTracks());
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  ASSERT_EQ(job.form.rows().size(), 3u);
  EXPECT_EQ(job.form.rows()[0].trackName, "Bass");
  EXPECT_EQ(job.form.rows()[2].trackName, "");
  EXPECT_EQ(definitionNames(job.form), (std::vector<std::string>{"tr01", "tr02", "tr03"}));
  for (const MemoryForm::Row& row : job.form.rows()) EXPECT_EQ(row.settings.gridUnit, 0);  // no grid until set
  EXPECT_EQ(job.form.text(Box::OutputFile), "song_out.mid");
  EXPECT_EQ(job.app.rowSettings.size(), 3u);
}

// The k-th line of a name goes to the k-th track of that name; tracks beyond the lines of their
// name take the last one.
TEST(LoadFlow, ASettingsFileGivesEachTrackOfANameItsOwnLine) {
  JobRun job(songOfFiveTracks());
  job.put("song.txt",
          "i\tsong.mid\no\telsewhere.mid\ntr\tBass\tlow\t0\t100\ntr\tBass\thigh\t0\t200\ntr\t\tnoname\t0\t300\n"
          "tr\tGone\tx\t0\t400\ng\tG\nt\tT\na\tA\n");
  job.put("one.txt", "i\tsong.mid\ntr\tBass\tlow\t0\t100\n");
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
  job.put("notmidi.mid", "RIFF");
  job.put("song.TXT", "i\tx");
  job.put("noinput.txt", "o\tx\n");
  job.put("missing.txt", "i\tgone.mid\n");
  const std::array<const char*, 3> cases[] = {
      // input, the first line of the English message, what else it says
      {"nothere.mid", "The MIDI file cannot be read.", "nothere.mid"},
      {"notmidi.mid", "The MIDI file cannot be read.", "\"MThd\""},
      {"song.TXT", "The MIDI file cannot be read.", "song.TXT"},  // upper case: a MIDI file
      {"nothere.txt", "The settings file cannot be read.", "nothere.txt"},
      {"noinput.txt", "The settings file cannot be read.", "\"i\" line"},
      {"missing.txt", "The MIDI file cannot be read.", "missing.txt"},
  };
  WorkingFolder here(job.dir.path());
  for (const auto& [input, firstLine, says] : cases) {
    SCOPED_TRACE(input);
    const Result<void> loaded = loadFile(job.app, job.form, input);
    ASSERT_FALSE(loaded);
    const std::string text = loaded.problem().message.in(Audience::EnglishConsole);
    EXPECT_EQ(text.substr(0, text.find('\n')), firstLine);
    EXPECT_NE(text.find(says), std::string::npos) << text;
    EXPECT_TRUE(job.form.rows().empty());
  }
}

}  // namespace
}  // namespace rendlow::test
