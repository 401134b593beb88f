// The bundled example song through the whole job, compared byte for byte with the three files
// committed under tests/golden: the rendering MIDI file, the settings file and the chart.
//
// After a deliberate change of the outputs, run the test with RENDLOW_UPDATE_GOLDEN=1 to write
// the files anew, and read the differences before committing them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "support/whole_job.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;

const std::string kExampleSong = std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid";
const std::string kGoldenDir = std::string(RENDLOW_TEST_DATA_DIR) + "/golden";

// The job runs inside its own folder with relative names, as an author runs it beside the song,
// so the paths the settings file records are the same on every machine.
class WorkingFolder {
public:
  explicit WorkingFolder(const std::string& path) : previous_(fs::current_path()) { fs::current_path(path); }
  ~WorkingFolder() { fs::current_path(previous_); }

private:
  fs::path previous_;
};

// Text files are written in text mode: on Windows every line ends in CR LF.
std::string withPlatformLineEnds(std::string text) {
#ifdef _WIN32
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
#else
  return text;
#endif
}

bool updating() {
  const char* update = std::getenv("RENDLOW_UPDATE_GOLDEN");
  return update && std::string(update) == "1";
}

void compareWithGolden(const std::string& written, const std::string& golden, bool text) {
  if (updating()) {
    fs::create_directories(fs::path(golden).parent_path());
    fs::copy_file(written, golden, fs::copy_options::overwrite_existing);
    return;
  }
  const std::string expected = test::readText(golden);
  ASSERT_FALSE(expected.empty()) << "missing golden file " << golden;
  EXPECT_TRUE(test::readText(written) == (text ? withPlatformLineEnds(expected) : expected))
      << written << " differs from " << golden;
}

class GoldenJob : public ::testing::Test {
protected:
  void runAndCompare(const std::string& goldenFolder, const test::JobSetup& setup) {
    fs::copy_file(kExampleSong, dir.file("example_song.mid"));
    {
      WorkingFolder here(dir.path());
      const OutputResult result = test::runWholeJob(app, form, "example_song.mid", "", setup);
      ASSERT_TRUE(result.ok());
      ASSERT_TRUE(result.chart && result.chart->status.ok);
      ASSERT_EQ(result.midi->path, "example_song_out.mid");
    }
    const std::string golden = kGoldenDir + "/" + goldenFolder + "/";
    compareWithGolden(dir.file("example_song_out.mid"), golden + "example_song_out.mid", false);
    compareWithGolden(dir.file("example_song.txt"), golden + "example_song.txt", true);
    compareWithGolden(dir.file("example_song_out.bme"), golden + "example_song_out.bme", true);
    test::exportChartForInterop(app.project, dir.file("example_song.mid"), dir.file("example_song_out.bme"));
  }

  Application app;
  test::TestForm form;
  test::TempDir dir;
};

TEST_F(GoldenJob, TheExampleSongWithDefaultSettings) { runAndCompare("default", {}); }

TEST_F(GoldenJob, TheExampleSongWithEditedRows) {
  test::JobSetup setup;
  setup.edits = {
      // Piano: the louder bar becomes sounds of its own; a chord per note on a grid of a bar.
      {0,
       [](TrackSettings& s) {
         s.definitionName = "piano";
         s.velocitySplitWidth = 16;
         s.gridUnit = 1920;
       }},
      // Lead: whole legato phrases as sounds, split by volume and pan.
      {1,
       [](TrackSettings& s) {
         s.definitionName = "lead";
         s.splitMethod = static_cast<int32_t>(SplitMethod::Legato);
         s.ccSplitWidth = 32;
         s.ignoreBpm = true;
       }},
      // Drums: every hit its own object, close hits on their own definitions, a wider id gap.
      {2,
       [](TrackSettings& s) {
         s.definitionName = "drums";
         s.splitMethod = static_cast<int32_t>(SplitMethod::Single);
         s.multipleThreshold = 600;
         s.wavDefinitionGap = 5;
       }},
  };
  setup.boxes = {{control::kGenre, "Demo"}, {control::kTitle, "Example Song"}, {control::kArtist, "Rendlow"}};
  runAndCompare("edited", setup);
}

}  // namespace
}  // namespace rendlow
