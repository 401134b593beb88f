// The rendering file and its chart stand or fall together: a chart that cannot be written keeps
// the rendering file that was there.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/output_flow.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// The chart is a link into a folder that is gone: it passes every check, and fails as a full disk
// would, once the rendering file is complete beside its target.
TEST(OutputFlow, AChartThatCannotBeWrittenKeepsTheRenderingFileThatWasThere) {
  JobRun job(kExampleSong);
  job.put("song_out.mid", std::string("old rendering"));
  std::error_code noSymlinks;  // a system may refuse them to an ordinary user
  fs::create_symlink(fs::path("gone") / "song_out.bme", job.dir.file("song_out.bme"), noSymlinks);
  if (noSymlinks) GTEST_SKIP() << "symbolic links cannot be made here";
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output);
  const OutputResult& output = *report->output;
  EXPECT_EQ(std::tuple(output.midi->status.ok(), output.settings->status.ok(), output.chart->status.ok()),
            std::tuple(false, true, false));
  EXPECT_EQ(job.read("song_out.mid"), "old rendering");
  const std::vector<Message> told = output.told();
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[0]
                .in(Audience::EnglishConsole)
                .find("Left as it was, because the file it pairs with, song_out.bme,"),
            std::string::npos)
      << told[0].in(Audience::EnglishConsole);
  EXPECT_NE(told[1].in(Audience::EnglishConsole).find("No such file or folder"), std::string::npos);
  // The settings file keeps the output name the run was asked for.
  EXPECT_TRUE(job.read("song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\tsong_out.mid\n")));
  EXPECT_EQ(std::distance(fs::directory_iterator(job.dir.path()), fs::directory_iterator()), 4);
}

}  // namespace
}  // namespace rendlow::test
