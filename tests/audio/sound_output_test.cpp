// Sound files written one by one: an interrupt stops them where they are, and the problem tells how
// many stand.

#include "audio/cut/sound_output.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "base/interruption.h"
#include "support/temp_dir.h"

namespace rendlow::audio {
namespace {

// Our own writer, interrupted as it begins the third file.
class InterruptedBackend : public AudioBackend {
public:
  Result<AudioBuffer> read(const std::string& path) const override { return builtinBackend().read(path); }
  Result<void> write(const std::string& path, const AudioBuffer& buffer, AudioFileType type) const override {
    if (++writes_ == 3) std::raise(SIGTERM);
    return builtinBackend().write(path, buffer, type);
  }
  std::vector<std::string> readableExtensions() const override {
    return builtinBackend().readableExtensions();
  }
  bool writes(AudioFileType type) const override { return builtinBackend().writes(type); }

private:
  mutable int writes_ = 0;
};

// Run apart, as the note of an interrupt lasts as long as the process.
TEST(WriteSoundDeathTest, AnInterruptStopsTheFilesAndTellsHowManyStand) {
  const auto interruptedOnTheThird = [] {
    test::TempDir dir;
    noteInterrupts();
    const InterruptedBackend backend;
    const SoundOutput output{dir.path(), AudioFileType::Wav, &backend};
    SoundFilesReport report{dir.path(), 0, {}};
    const std::string said = "Interrupted (SIGTERM): 2 sound files were written before the run stopped";
    std::string told;
    for (const char* name : {"tr01_01.wav", "tr01_02.wav", "tr01_03.wav", "tr01_04.wav"})
      if (const Result<void> written =
              writeSound(output, name, {44100, 1, std::vector<float>(100, 0.5f)}, report);
          !written)
        told += written.problem().message.in(Audience::EnglishConsole).substr(0, said.size()) + "|";
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    std::exit(report.filesWritten == 2 && files == 2 && told == said + "|" + said + "|" ? 0 : 1);
  };
  EXPECT_EXIT(interruptedOnTheThird(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace rendlow::audio
