// The settings file beside a song is the author's: the program replaces it only when it is this
// song's own, and otherwise writes nothing, or saves its settings file beside the chart.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/messages.h"
#include "job_fixture.h"
#include "support/case_table.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

const std::string kNotOurs =
    "Nothing was written: the settings file's name is taken by a file that is not this song's settings file.";

TEST(SettingsOwner, OnlyThisSongsOwnSettingsFileIsReplaced) {
  for (const CaseLine& c : readCaseTable("app/data/settings_owners.txt")) {
    const bool replaced = c.columns[1] == "yes";
    JobRun job(kExampleSong);
    fs::create_directory(job.dir.file("sub"));
    std::string holds = c.columns[0] == "-" ? "" : unescaped(c.columns[0]);
    if (const std::size_t at = holds.find("SONG_FOLDER"); at != std::string::npos)
      holds.replace(at, 11, job.dir.path());
    if (c.columns[0] != "-") job.put("song.txt", holds);
    SCOPED_TRACE(holds);
    const Result<JobReport> report = job.run(request("song.mid"));
    ASSERT_TRUE(report);
    ASSERT_EQ(report->output.ok(), replaced);
    if (replaced) continue;
    EXPECT_EQ(firstLine(report->output.problem().message), kNotOurs);
    EXPECT_NE(report->output.problem().message.in(Audience::EnglishConsole).find("-o"), std::string::npos);
    EXPECT_EQ(job.read("song.txt"), holds);
    EXPECT_FALSE(fs::exists(job.dir.file("song_out.mid")) || fs::exists(job.dir.file("song_out.bme")));
  }
}

// An output to another folder takes the settings file with it, and says where; saving the
// settings alone has no such way out, so its advice does not offer one.
TEST(SettingsOwner, AnOutputToAnotherFolderSavesTheSettingsBesideTheChart) {
  JobRun job(kExampleSong);
  job.put("song.txt", "さくら さくら\n");
  fs::create_directory(job.dir.file("out"));
  JobRequest elsewhere = request("song.mid");
  elsewhere.outputPath = "out/song_out.mid";
  const Result<JobReport> report = job.run(elsewhere);
  ASSERT_TRUE(report && report->output);
  EXPECT_EQ(job.read("song.txt"), "さくら さくら\n");
  const Result<SettingsFileContents> moved = loadSettings(job.dir.file("out/song.txt"));
  ASSERT_TRUE(moved);
  EXPECT_TRUE(namesSameFile(moved->inputPath, job.dir.file("song.mid")));
  ASSERT_EQ(report->output->warnings.size(), 1u);
  EXPECT_EQ(report->output->warnings[0].message.in(Audience::EnglishConsole),
            settingsSpotTakenMessage("song.txt", "out/song.txt").in(Audience::EnglishConsole));

  elsewhere.output = OutputChoice::SettingsOnly;
  const Result<JobReport> refused = job.run(elsewhere);
  ASSERT_TRUE(refused && !refused->output);
  EXPECT_EQ(refused->output.problem().message.in(Audience::EnglishConsole).find("-o"), std::string::npos);
}

// The window tells the refusal in its output message; it has no -o, so its advice names the
// output box.
TEST(SettingsOwner, TheWindowSaysWhyNothingWasWritten) {
  JobRun job(kExampleSong);
  job.put("song.txt", "i\tother.mid\n");
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(openInWindow(job.app, job.form, "song.mid"));
  ASSERT_FALSE(runOutput(job.app, requestFromForm(job.form, OutputChoice::MidiAndChart), &job.form));
  ASSERT_EQ(job.form.messages().size(), 1u);
  EXPECT_EQ(job.form.tones().back(), Tone::Error);
  EXPECT_EQ(firstLine(job.form.messages().back()), kNotOurs);
  EXPECT_EQ(job.form.messages().back().in(Audience::Window).find("-o"), std::string::npos);
}

// Notepad's UTF-8, with its byte order mark, is read as UTF-8 and written back in Shift_JIS, as
// every settings file is, with a notice; a line Shift_JIS cannot hold refuses the file by its number.
TEST(SettingsOwner, AUtf8SettingsFileIsReadAndWrittenBackInShiftJis) {
  const std::string mark = "\xEF\xBB\xBF", row = "\t0\t960\t0\t1\t0\t0\t0\t0\t2\t1\t0\n";
  const std::string guitarUtf8 = "\xE3\x82\xAE\xE3\x82\xBF\xE3\x83\xBC",
                    guitar932 = "\x83\x4D\x83\x5E\x81\x5B";
  JobRun job(kExampleSong);
  job.put("song.txt", mark + "i\tsong.mid\r\ntr\tPiano\t" + guitarUtf8 + row + "t\t" + guitarUtf8 + "\n");
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output);
  EXPECT_EQ(job.app.rowSettings(0).definitionName, guitar932);
  const std::string saved = job.read("song.txt");
  EXPECT_TRUE(saved.starts_with(withPlatformLineEnds("i\tsong.mid\n"))) << saved;
  EXPECT_NE(saved.find(withPlatformLineEnds("tr\tPiano\t" + guitar932 + row)), std::string::npos);
  EXPECT_NE(saved.find(withPlatformLineEnds("t\t" + guitar932 + "\n")), std::string::npos);
  ASSERT_EQ(report->output->warnings.size(), 1u);
  EXPECT_EQ(firstLine(report->output->warnings[0].message),
            "The settings file was UTF-8; it was saved again in Shift_JIS (code page 932).");
  EXPECT_TRUE(job.run(request("song.mid"))->output->warnings.empty());

  // U+00E9, which Shift_JIS lacks, and a byte that starts no UTF-8 character.
  for (const char* line : {"g\t\xC3\xA9\n", "g\t\xFF\n"}) {
    job.put("song.txt", mark + "i\tsong.mid\n" + line);
    const Result<JobReport> refused = job.run(request("song.mid"));
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.problem().message.in(Audience::EnglishConsole).find("Line 2 is not UTF-8"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace rendlow::test
