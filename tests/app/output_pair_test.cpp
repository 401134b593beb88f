// The rendering file and its chart stand or fall together: a chart that cannot be written keeps
// the rendering file that was there.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/output_flow.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

// The chart is a link into a folder that is gone: it passes every check, and fails as a full disk
// would, once the rendering file is complete beside its target.
TEST(OutputFlow, AChartThatCannotBeWrittenKeepsTheRenderingFileThatWasThere) {
  JobRun job(kExampleSong);
  job.put("song_out.mid", std::string("old rendering"));
  std::error_code noSymlinks;  // a system may refuse them to an ordinary user
  std::filesystem::create_symlink(std::filesystem::path("gone") / "song_out.bme",
                                  job.dir.file("song_out.bme"), noSymlinks);
  if (noSymlinks) GTEST_SKIP() << "symbolic links cannot be made here";
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output);
  EXPECT_TRUE(report->output->settings->status.ok());
  EXPECT_EQ(job.read("song_out.mid"), "old rendering");
  const std::vector<Message> told = report->output->told();
  ASSERT_EQ(told.size(), 2u);
  const std::string midiTold = told[0].in(Audience::EnglishConsole);
  EXPECT_NE(midiTold.find("Left as it was, because the file it pairs with, song_out.bme,"), std::string::npos)
      << midiTold;
}

}  // namespace
}  // namespace rendlow::test
