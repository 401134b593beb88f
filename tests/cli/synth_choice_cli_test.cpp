// The synthesizer a keysound run renders with, chosen on the command line: the built-in one makes
// the sound files and the fidelity table as FluidSynth does, with sounds of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "audio/synth/rendering.h"
#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

const char* const kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Two bars of a piano line and a bass line: two tracks of four distinct sounds each.
void writeShortSong(const std::string& path) {
  MidiBuilder song;
  song.track().tempoBpm(0, 120).endOfTrack(0);
  // Each track built whole before the next is added: adding one moves the others.
  for (const auto& [name, channel, program, firstKey, step] :
       {std::tuple{"piano", 0, 0, 60, 2}, std::tuple{"bass", 1, 33, 36, 5}}) {
    TrackBuilder& track = song.track().name(name).programChange(0, channel, program);
    for (int beat = 0; beat < 8; ++beat) {
      const int key = firstKey + step * (beat % 4);
      track.noteOn(beat * 480, channel, key, 100).noteOff(beat * 480 + 400, channel, key);
    }
    track.endOfTrack(8 * 480);
  }
  song.write(path);
}

class SynthChoice : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << kSoundFont << " is not installed";
  }
  // The short song rendered in a folder of its own with `synth` ("" for the build's default).
  Ran render(const TempDir& folder, const std::string& synth) {
    writeShortSong(folder.file("song.mid"));
    std::vector<std::string> args{"--keysounds", "--soundfont", kSoundFont};
    if (!synth.empty()) args.insert(args.end(), {"--synth", synth});
    args.push_back("song.mid");
    return runCliIn(folder, args, "C");
  }
};

// Every sound the chart names is written, and the fidelity of each track and of the song is told.
TEST_F(SynthChoice, TheBuiltinSynthesizerWritesTheSoundsAndMeasuresThem) {
  TempDir folder;
  const Ran ran = render(folder, "builtin");
  ASSERT_EQ(ran.status, cli::kExitOk) << ran.err;
  for (const char* sound : {"tr01_01.wav", "tr01_04.wav", "tr02_01.wav", "tr02_04.wav"})
    EXPECT_GT(std::filesystem::file_size(folder.file(sound)), 44u) << sound;
  EXPECT_FALSE(std::filesystem::exists(folder.file("tr01_05.wav")));
  EXPECT_NE(ran.out.find("Wrote 8 sound files"), std::string::npos) << ran.out;
  for (const char* row : {"\n  bass   tr02  ", "\n  piano  tr01  ", "\nlog-spectral distance "})
    EXPECT_NE(ran.out.find(row), std::string::npos) << row << ran.out;
  // Measured against the song as the same synthesizer renders it, the chart plays it closely:
  // against another synthesizer's render its spectral SNR would be some 25 dB.
  const std::size_t figure = ran.out.find(", spectral SNR ", ran.out.find("\nlog-spectral distance "));
  ASSERT_NE(figure, std::string::npos) << ran.out;
  EXPECT_GT(std::stod(ran.out.substr(figure + 15)), 40.0) << ran.out;
}

// The choice reaches the rendering: the same sound from the two synthesizers differs, and the
// default is FluidSynth where the build has it.
TEST_F(SynthChoice, EachSynthesizerRendersItsOwnSounds) {
  if (!audio::fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  TempDir builtin, fluid, unnamed;
  ASSERT_EQ(render(builtin, "builtin").status, cli::kExitOk);
  ASSERT_EQ(render(fluid, "fluidsynth").status, cli::kExitOk);
  ASSERT_EQ(render(unnamed, "").status, cli::kExitOk);
  const std::string sound = "tr01_01.wav";
  EXPECT_NE(readBytes(builtin.file(sound)), readBytes(fluid.file(sound)));
  EXPECT_EQ(readBytes(unnamed.file(sound)), readBytes(fluid.file(sound)));
}

}  // namespace
}  // namespace rendlow::test
