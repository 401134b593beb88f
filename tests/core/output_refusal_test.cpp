// What the output flow refuses before it writes anything: an output that would replace the input
// MIDI file, a MIDI file that can no longer be read, a track too complex to lay out. And what it
// writes but warns about: a re-timing that did not settle.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "app/application.h"
#include "base/messages.h"
#include "app/output_flow.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "support/whole_job.h"

namespace rendlow {
namespace {

using test::OutputButton;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

test::MidiBuilder simpleSong() {
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(1920);
  song.track().name("Piano").noteOn(480, 0, 60, 100).noteOff(960, 0, 60).endOfTrack(1920);
  return song;
}

// Whatever an output was pressed with, the author's files are as they were and no new file is
// there: the folder holds exactly `files`.
void expectFolderHoldsOnly(const test::TempDir& dir, std::vector<std::string> files) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    found.push_back(entry.path().filename().string());
  std::sort(found.begin(), found.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(found, files);
}

class OutputRefusal : public ::testing::Test {
protected:
  OutputRefusal() {
    simpleSong().write(input);
    original = test::readBytes(input);
  }

  OutputResult press(const std::string& midiPath, const std::string& outputPath, OutputButton button) {
    return test::runWholeJob(app, form, midiPath, outputPath, {{}, {}, button});
  }

  // One refusal, told once, and the song untouched.
  void expectRefused(const OutputResult& result, const std::string& message) {
    EXPECT_TRUE(result.refused);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.midi);
    EXPECT_FALSE(result.settings);
    EXPECT_FALSE(result.chart);
    EXPECT_EQ(form.messages, std::vector<std::string>{message});
    EXPECT_EQ(result.problems, form.messages);
    EXPECT_EQ(test::readBytes(input), original);
  }

  test::TempDir dir;
  const std::string input = dir.file("song.mid");
  test::Bytes original;
  Application app;
  test::TestForm form;
};

// --- Never over the input MIDI file ----------------------------------------------------------

TEST_F(OutputRefusal, AnOutputNamedLikeTheInputIsRefusedForEveryButton) {
  for (OutputButton button : {OutputButton::Midi, OutputButton::MidiAndChart}) {
    form.messages.clear();
    expectRefused(press(input, input, button),
                  overwriteRefusedMessage(input, OutputKind::RenderingMidi, input));
  }
  expectFolderHoldsOnly(dir, {"song.mid"});
}

TEST_F(OutputRefusal, AHardLinkToTheInputIsTheSameFile) {
  const std::string link = dir.file("song_out.mid");
  std::error_code error;
  std::filesystem::create_hard_link(input, link, error);
  if (error) GTEST_SKIP() << "no hard links here: " << error.message();
  expectRefused(press(input, link, OutputButton::Midi),
                overwriteRefusedMessage(input, OutputKind::RenderingMidi, link));
  expectFolderHoldsOnly(dir, {"song.mid", "song_out.mid"});
}

TEST_F(OutputRefusal, ASymbolicLinkToTheInputIsTheSameFile) {
  const std::string link = dir.file("song_out.mid");
  std::error_code error;
  std::filesystem::create_symlink(input, link, error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  expectRefused(press(input, link, OutputButton::MidiAndChart),
                overwriteRefusedMessage(input, OutputKind::RenderingMidi, link));
  expectFolderHoldsOnly(dir, {"song.mid", "song_out.mid"});
}

TEST_F(OutputRefusal, AChartNamedLikeTheInputIsRefusedBeforeTheOtherFilesAreWritten) {
  // The chart takes the output's name with ".bme"; a song kept as "take.bme" would be its victim.
  const std::string song = dir.file("take.bme");
  std::filesystem::rename(input, song);
  const std::string output = dir.file("take.mid");
  const OutputResult result = press(song, output, OutputButton::MidiAndChart);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(form.messages, std::vector<std::string>{overwriteRefusedMessage(song, OutputKind::Chart, song)});
  EXPECT_EQ(test::readBytes(song), original);
  expectFolderHoldsOnly(dir, {"take.bme"});
  // Without a chart the same output is no danger.
  form.messages.clear();
  EXPECT_TRUE(press(song, output, OutputButton::Midi).ok());
  EXPECT_TRUE(exists(output));
}

TEST_F(OutputRefusal, ASettingsFileThatIsTheInputIsRefusedEvenWhenOnlySaving) {
  // "song.txt" leads to the song itself; saving the settings would replace it.
  const std::string settings = dir.file("song.txt");
  std::error_code error;
  std::filesystem::create_symlink(input, settings, error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  const std::string output = dir.file("song_out.mid");
  for (OutputButton button : {OutputButton::SettingsOnly, OutputButton::Midi}) {
    form.messages.clear();
    expectRefused(press(input, output, button),
                  overwriteRefusedMessage(input, OutputKind::Settings, settings));
  }
  expectFolderHoldsOnly(dir, {"song.mid", "song.txt"});
}

// Where the file system ignores letter case (Windows, and so the tests under Wine), a song named
// "song.TXT" is read as a MIDI file, and its settings file "song.txt" is the song itself.
TEST_F(OutputRefusal, ASettingsFileDifferingOnlyInCaseIsTheInputWhereCaseIsIgnored) {
  const std::string song = dir.file("song.TXT");
  std::filesystem::rename(input, song);
  if (!exists(dir.file("song.txt"))) GTEST_SKIP() << "this file system tells letter case apart";
  for (OutputButton button : {OutputButton::SettingsOnly, OutputButton::MidiAndChart}) {
    form.messages.clear();
    const OutputResult result = press(song, dir.file("song_out.mid"), button);
    EXPECT_TRUE(result.refused);
    EXPECT_EQ(form.messages, std::vector<std::string>{
                                 overwriteRefusedMessage(song, OutputKind::Settings, dir.file("song.txt"))});
  }
  EXPECT_EQ(test::readBytes(song), original);
  expectFolderHoldsOnly(dir, {"song.TXT"});
}

// --- The song must still be there ------------------------------------------------------------

TEST_F(OutputRefusal, AMidiFileRemovedSinceLoadingStopsTheOutputAndSaysWhy) {
  press(input, "", OutputButton::SettingsOnly);  // loads the song; saving its settings is fine
  ASSERT_TRUE(form.messages.empty());
  std::filesystem::remove(dir.file("song.txt"));
  std::filesystem::remove(input);
  const OutputResult result = runOutput(app, form, true, true);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(form.messages, std::vector<std::string>{midiUnreadableMessage(input, readReason(ENOENT))});
  expectFolderHoldsOnly(dir, {});
}

TEST_F(OutputRefusal, AMidiFileThatIsNoLongerOneStopsTheOutput) {
  press(input, "", OutputButton::SettingsOnly);
  std::filesystem::remove(dir.file("song.txt"));
  test::writeBytes(input, {'n', 'o', 't', ' ', 'M', 'I', 'D', 'I'});
  const OutputResult result = runOutput(app, form, true, false);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(form.messages, std::vector<std::string>{midiUnreadableMessage(input, notMidiReason())});
  expectFolderHoldsOnly(dir, {"song.mid"});
}

// --- A track past the layout's bounds --------------------------------------------------------

TEST_F(OutputRefusal, ATrackTooComplexToLayOutStopsTheOutputNamingIt) {
  // Every note of "Pad" is held to the end and a controller moves between them: each sound walks
  // the rest of the track again, far past the bounds for its 2,402 events.
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
  song.track().name("Bass").noteOn(0, 1, 36, 100).noteOff(480, 1, 36).endOfTrack(480);
  auto& pad = song.track().name("Pad");
  for (int i = 0; i < 1200; ++i)
    pad.noteOn(i * 10, 0, 20 + i % 100, 1 + i / 100).controlChange(i * 10 + 5, 0, 1, i % 128);
  pad.endOfTrack(12000);
  song.write(input);
  original = test::readBytes(input);
  expectRefused(press(input, dir.file("song_out.mid"), OutputButton::MidiAndChart),
                trackTooComplexMessage(input, 3, "Pad"));
  expectFolderHoldsOnly(dir, {"song.mid"});
}

// --- Written, with a warning -----------------------------------------------------------------

// Moving the second tempo change behind a sound that lasts almost the whole range of ticks pushes
// the next sound past the largest tick a file can hold: the layouts are written as built.
TEST_F(OutputRefusal, ARetimingThatCannotSettleIsToldAfterTheFileIsWritten) {
  constexpr int32_t kLongEnd = 2147481647;
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).tempo(1000, 400000).endOfTrack(1000);
  auto& track = song.track().name("Long").noteOn(0, 0, 60, 100);
  // A delta holds 28 bits: text events carry the time forward.
  for (int32_t tick = 0x0FFFFFFF; tick < kLongEnd; tick += 0x0FFFFFFF) track.meta(tick, 0x01, {});
  track.noteOff(kLongEnd, 0, 60)
      .noteOn(2147482000, 0, 62, 100)
      .noteOff(2147482480, 0, 62)
      .endOfTrack(2147482480);
  song.write(input);
  const std::string output = dir.file("song_out.mid");
  const OutputResult result = press(input, output, OutputButton::Midi);
  EXPECT_TRUE(result.ok());
  EXPECT_FALSE(result.refused);
  ASSERT_TRUE(result.midi && result.midi->status);
  EXPECT_EQ(form.messages,
            (std::vector<std::string>{kMidiWrittenMessage, retimingUnsettledMessage(output, true, 1)}));
  EXPECT_EQ(result.problems, std::vector<std::string>{form.messages[1]});
  Application reader;
  EXPECT_TRUE(reader.readMidiFile(output));
}

}  // namespace
}  // namespace rendlow
