// The command line's edges with a UTF-8 system: what it takes becomes code page 932 in the files
// it writes, what it prints becomes UTF-8 again, and a text 932 cannot hold is refused by name.
// (The names of files are the base layer's file functions' to convert.) The tests run without a
// locale, which reads as UTF-8.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// "ギター", "ギターの曲" and "ギター_01.wav" in Shift_JIS.
const std::string kGuitar932 = "\x83\x4D\x83\x5E\x81\x5B";
const std::string kGuitarSong932 = kGuitar932 + "\x82\xCC\x8B\xC8";
const std::string kFirstGuitarSound932 = kGuitar932 + "_01.wav";

class LocaleText : public ::testing::Test {
protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the ANSI code page is 932 there: nothing is converted";
#endif
    fs::copy_file(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid", dir.file("song.mid"));
  }

  Ran run(const std::vector<std::string>& args) { return runCliIn(dir, args); }

  std::string read(const std::string& name) const { return readText(dir.file(name)); }

  TempDir dir;
};

TEST_F(LocaleText, JapaneseArgumentsReachTheFilesAsShiftJisAndTheScreenAsTheyWereTyped) {
  const Ran ran = run({"--title", "ギターの曲", "--set", "0:definitionName=ギター", "song.mid"});
  ASSERT_EQ(ran.status, cli::kExitOk) << ran.err;
  EXPECT_NE(ran.out.find("  Piano      ギター "), std::string::npos) << ran.out;
  EXPECT_NE(read("song.txt").find("\nt\t" + kGuitarSong932 + "\n"), std::string::npos);
  EXPECT_NE(read("song.txt").find("tr\tPiano\t" + kGuitar932 + "\t"), std::string::npos);
  EXPECT_NE(read("song_out.bme").find("#TITLE " + kGuitarSong932 + "\n"), std::string::npos);
  EXPECT_NE(read("song_out.bme").find(" " + kFirstGuitarSound932 + "\n"), std::string::npos);
}

TEST_F(LocaleText, ASettingsFileInShiftJisIsWrittenBackWithoutAByteChanged) {
  const std::string fields = "\t0\t960\t0\t1\t0\t0\t0\t0\t2\t1\t0\n";
  const std::string settings = "i\tsong.mid\no\tsong_out.mid\ntr\tPiano\t" + kGuitar932 + fields + "tr\tLead\t" +
                               kGuitar932 + "2" + fields + "tr\t\ttr03" + fields + "g\t\nt\t" + kGuitarSong932 +
                               "\na\t" + kGuitar932 + "\n";
  writeBytes(dir.file("song.txt"), Bytes(settings.begin(), settings.end()));
  const Ran ran = run({"--settings-only", "song.txt"});
  ASSERT_EQ(ran.status, cli::kExitOk) << ran.err;
  EXPECT_EQ(read("song.txt"), settings);
}

TEST_F(LocaleText, ATextShiftJisCannotHoldIsRefusedNamingTheOptionAndTheText) {
  for (const CaseLine& c : readCaseTable("cli/data/not_shift_jis.txt")) {
    SCOPED_TRACE(c.where);
    const Ran ran = run(argumentsOf(c.columns.at(0)));
    EXPECT_EQ(ran.status, cli::kExitUsage);
    EXPECT_NE(ran.err.find(c.columns.at(1) + " "), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find("Shift_JIS"), std::string::npos) << ran.err;
    EXPECT_FALSE(fs::exists(dir.file("song.txt")));
  }
}

TEST_F(LocaleText, TrackNamesArePrintedInTheSystemsEncodingAndBytesOutsideShiftJisEscaped) {
  MidiBuilder song;
  song.track().tempoBpm(0, 120).endOfTrack(0);
  song.track().name("Caf\xE9").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
  song.track().name(kGuitar932).noteOn(0, 1, 62, 100).noteOff(480, 1, 62).endOfTrack(480);
  song.write(dir.file("names.mid"));
  const Ran ran = run({"--list", "names.mid"});
  ASSERT_EQ(ran.status, cli::kExitOk) << ran.err;
  EXPECT_NE(ran.out.find("0\tCaf\\xE9\t"), std::string::npos) << ran.out;
  EXPECT_NE(ran.out.find("1\tギター\t"), std::string::npos) << ran.out;
}

}  // namespace
}  // namespace rendlow::test
