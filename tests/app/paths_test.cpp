// The names the program derives for its files, and the paths a settings file keeps.

#include "app/paths.h"

#include <gtest/gtest.h>

#include "base/platform.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

TEST(Paths, FilesAreNamedAfterTheStemOfThePathTheyComeFrom) {
  // given; the rendering MIDI file proposed for it as input, its settings file, its chart as output
  const std::array<const char*, 4> cases[] = {
      {"C:\\a\\song.mid", "C:\\a\\song_out.mid", "C:\\a\\song.txt", "C:\\a\\song.bme"},
      {"a.mid", "a_out.mid", "a.txt", "a.bme"},
      {"ab", "ab_out.mid", "ab.txt", "ab.bme"},
      {"rendering.midi", "rendering_out.mid", "rendering.txt", "rendering.bme"},
      {"C:\\my.dir\\song", "C:\\my.dir\\song_out.mid", "C:\\my.dir\\song.txt", "C:\\my.dir\\song.bme"},
      {"dir/.hidden", "dir/.hidden_out.mid", "dir/.hidden.txt", "dir/.hidden.bme"},
      {"a.b.mid", "a.b_out.mid", "a.b.txt", "a.b.bme"},
  };
  for (const auto& [given, rendering, settings, chart] : cases) {
    SCOPED_TRACE(given);
    EXPECT_EQ(outputNameFor(given), rendering);
    EXPECT_EQ(settingsPathFor(given), settings);
    EXPECT_EQ(chartPathFor(given), chart);
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

}  // namespace
}  // namespace rendlow::test
