// The names the program derives for its files, and the paths a settings file keeps.

#include <gtest/gtest.h>

#include "app/paths.h"
#include "base/platform.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

struct Names {
  const char* given;
  const char* rendering;  // the rendering MIDI file proposed for an input
  const char* settings;   // the settings file of a MIDI file
  const char* chart;      // the chart of a rendering MIDI file
};

TEST(Paths, FilesAreNamedAfterTheStemOfThePathTheyComeFrom) {
  const Names cases[] = {
      {"C:\\a\\song.mid", "C:\\a\\song_out.mid", "C:\\a\\song.txt", "C:\\a\\song.bme"},
      {"a.mid", "a_out.mid", "a.txt", "a.bme"},
      {"mysong", "mysong_out.mid", "mysong.txt", "mysong.bme"},
      {"render", "render_out.mid", "render.txt", "render.bme"},
      {"rendering.midi", "rendering_out.mid", "rendering.txt", "rendering.bme"},
      {"ab", "ab_out.mid", "ab.txt", "ab.bme"},
      {"C:\\my.dir\\song", "C:\\my.dir\\song_out.mid", "C:\\my.dir\\song.txt", "C:\\my.dir\\song.bme"},
      {"dir/.hidden", "dir/.hidden_out.mid", "dir/.hidden.txt", "dir/.hidden.bme"},
      {"a.b.mid", "a.b_out.mid", "a.b.txt", "a.b.bme"},
  };
  for (const Names& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(outputNameFor(c.given), c.rendering);
    EXPECT_EQ(settingsPathFor(c.given), c.settings);
    EXPECT_EQ(chartPathFor(c.given), c.chart);
  }
  EXPECT_EQ(chartPathFor(""), std::nullopt);
}

TEST(Paths, SettingsFilesKeepPathsRelativeToTheirFolderWhenInside) {
  TempDir dir;
  WorkingFolder here(dir.path());
  const std::string folder = "songs/";
  EXPECT_EQ(keptFrom(folder, "songs/a.mid"), "a.mid");
  EXPECT_EQ(keptFrom(folder, "songs/sub/../b.mid"), "b.mid");
  EXPECT_EQ(keptFrom("", "a.mid"), "a.mid");
  EXPECT_EQ(keptFrom(folder, "other/c.mid"), absolutePath("other/c.mid"));
  EXPECT_EQ(resolveFrom(folder, "a.mid"), "songs/a.mid");
  EXPECT_EQ(resolveFrom(folder, "/abs/a.mid"), "/abs/a.mid");
  EXPECT_EQ(resolveFrom(folder, "C:\\abs\\a.mid"), "C:\\abs\\a.mid");
}

}  // namespace
}  // namespace rendlow::test
