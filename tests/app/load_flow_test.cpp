// Loading a song: the rows the form shows, the names it proposes, and the saved settings that
// come back with a settings file.

#include <gtest/gtest.h>

#include "app/load_flow.h"
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

std::string english(const Message& message) { return message.in(Audience::EnglishConsole); }

TEST(LoadFlow, AMidiFileGivesOneRowPerTrackWithContentAfterTheFirst) {
  JobRun job;
  job.put("five.mid", songOfFiveTracks());
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "five.mid"));
  const auto& rows = job.form.rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].trackName, "Bass");
  EXPECT_EQ(rows[2].trackName, "");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].settings.definitionName, "tr0" + std::to_string(r + 1));
    EXPECT_EQ(rows[r].settings.gridUnit, 0);  // a fresh song starts without a grid
  }
  EXPECT_EQ(job.form.text(Box::OutputFile), "five_out.mid");
  EXPECT_EQ(job.app.rowSettings.size(), 3u);
}

TEST(LoadFlow, ASettingsFileGivesEachTrackOfANameItsOwnLine) {
  JobRun job;
  job.put("five.mid", songOfFiveTracks());
  const std::string lines =
      "i\tfive.mid\no\telsewhere.mid\n"
      "tr\tBass\tlow\t0\t100\t0\t1\t0\t0\t0\t0\t2\n"
      "tr\tBass\thigh\t0\t200\t0\t1\t0\t0\t0\t0\t2\n"
      "tr\t\tnoname\t0\t300\t0\t1\t0\t0\t0\t0\t2\n"
      "tr\tGone\tx\t0\t400\t0\t1\t0\t0\t0\t0\t2\n"
      "g\tG\nt\tT\na\tA\n";
  job.put("five.txt", Bytes(lines.begin(), lines.end()));
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "five.txt"));
  const auto& rows = job.form.rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].settings.definitionName, "low");
  EXPECT_EQ(rows[1].settings.definitionName, "high");
  EXPECT_EQ(rows[1].settings.noteInterval, 200);
  EXPECT_EQ(rows[2].settings.definitionName, "noname");
  EXPECT_EQ(job.form.text(Box::InputFile), "five.mid");
  EXPECT_EQ(job.form.text(Box::OutputFile), "five_out.mid");  // from the input, not the "o" line
  EXPECT_EQ(job.form.text(Box::Title), "T");
}

TEST(LoadFlow, TracksBeyondTheLinesOfTheirNameTakeTheLastOne) {
  JobRun job;
  job.put("five.mid", songOfFiveTracks());
  const std::string lines = "i\tfive.mid\ntr\tBass\tlow\t0\t100\n";
  job.put("five.txt", Bytes(lines.begin(), lines.end()));
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "five.txt"));
  EXPECT_EQ(job.form.rows()[1].settings.definitionName, "low");
  EXPECT_EQ(job.form.rows()[2].settings.definitionName, "tr03");
}

struct Unloadable {
  const char* input;
  const char* firstLine;  // of the English message
  const char* mentions;   // a file the message names
};

TEST(LoadFlow, WhatCannotBeLoadedIsToldWithTheFileAndTheReason) {
  JobRun job;
  job.put("notmidi.mid", Bytes{'R', 'I', 'F', 'F'});
  job.put("song.TXT", Bytes{'i', '\t', 'x'});
  job.put("noinput.txt", Bytes{'o', '\t', 'x', '\n'});
  job.put("missing.txt", Bytes{'i', '\t', 'g', 'o', 'n', 'e', '.', 'm', 'i', 'd', '\n'});
  const Unloadable cases[] = {
      {"nothere.mid", "The MIDI file cannot be read.", "nothere.mid"},
      {"notmidi.mid", "The MIDI file cannot be read.", "\"MThd\""},
      {"song.TXT", "The MIDI file cannot be read.", "song.TXT"},  // upper case: a MIDI file
      {"nothere.txt", "The settings file cannot be read.", "nothere.txt"},
      {"noinput.txt", "The settings file cannot be read.", "\"i\" line"},
      {"missing.txt", "The MIDI file cannot be read.", "missing.txt"},
  };
  WorkingFolder here(job.dir.path());
  for (const Unloadable& c : cases) {
    SCOPED_TRACE(c.input);
    const Result<void> loaded = loadFile(job.app, job.form, c.input);
    ASSERT_FALSE(loaded);
    const std::string text = english(loaded.problem().message);
    EXPECT_EQ(text.substr(0, text.find('\n')), c.firstLine);
    EXPECT_NE(text.find(c.mentions), std::string::npos) << text;
    EXPECT_TRUE(job.form.rows().empty());
  }
}

}  // namespace
}  // namespace rendlow::test
