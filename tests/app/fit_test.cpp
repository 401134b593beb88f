// The fit: the finest slicing whose chart fits a number of #WAV ids, found by measuring each step
// on a plan of the tracks.

#include "app/fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/output_flow.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

// Two tracks of six velocities of one note, "Wide" at the faint end, "Narrow" at the loud one;
// with a velocity width of 1: six ids each.
struct Loaded {
  JobRun job{appSong("wide_and_narrow.mid")};
  Loaded() {
    EXPECT_TRUE(job.run(request("song.mid", {"0:velocitySplitWidth=1", "1:velocitySplitWidth=1"})));
  }
  const TrackSettings& row(int n) { return job.app.rowSettings(n); }
};

TEST(Fit, TakesTheStepsThatStrayLeastPerIdUntilTheChartFits) {
  struct Case {
    const char* what;
    int64_t limit;
    bool fits;
    bool changes;
    int64_t largest;    // six ids, a gap of two, six ids at first
    int32_t wideWidth;  // the velocity widths after; -1 for any
    int32_t narrowWidth;
  };
  const Case cases[] = {
      {"already fits: nothing changes", 14, true, false, 14, 1, 1},
      {"the gap first, as it costs nothing", 12, true, true, 12, 1, 1},
      {"then the loud track, whose velocities are near", 9, true, true, 9, 1, 2},
      {"and a gap the last step made needless comes back", 11, true, true, 11, 1, 2},
      {"even the coarsest, one id a track, passes the limit", 1, false, true, 2, -1, -1},
  };
  for (const Case& c : cases) {
    Loaded song;
    const int64_t before = fitChartIds(song.job.app.project, 1000).largestId;
    const FitResult fit = fitChartIds(song.job.app.project, c.limit);
    EXPECT_EQ(fit.largestIdBefore, before) << c.what;
    EXPECT_EQ(fit.fits, c.fits) << c.what;
    EXPECT_EQ(fit.largestId, c.largest) << c.what;
    EXPECT_EQ(!fit.changes.empty(), c.changes) << c.what;
    applyFit(song.job.app.project, fit);
    if (c.wideWidth >= 0) {
      EXPECT_EQ(song.row(0).velocitySplitWidth, c.wideWidth) << c.what;
    }
    if (c.narrowWidth >= 0) {
      EXPECT_EQ(song.row(1).velocitySplitWidth, c.narrowWidth) << c.what;
    }
  }
}

// Each change tells the row, the settings before and after, and the ids the row takes.
TEST(Fit, ChangesNameTheirRowsAndTheirIds) {
  Loaded song;
  const FitResult fit = fitChartIds(song.job.app.project, 9);
  ASSERT_EQ(fit.changes.size(), 2u);
  EXPECT_EQ(fit.changes[0].row, 0);
  EXPECT_EQ(fit.changes[0].after.wavDefinitionGap, 0);
  EXPECT_EQ(fit.changes[0].idsAfter, fit.changes[0].idsBefore);
  EXPECT_EQ(fit.changes[1].row, 1);
  EXPECT_EQ(fit.changes[1].before, song.row(1));
  EXPECT_LT(fit.changes[1].idsAfter, fit.changes[1].idsBefore);
  EXPECT_EQ(fit.changes[0].idsAfter + fit.changes[1].idsAfter, fit.largestId);
}

// The window's answer to a chart refused for its ids: declined, only the settings file stands;
// accepted, the rows take the fitted settings and the pair is written, the message saying so.
TEST(Fit, TheWindowOffersToFitARefusedChartAndWritesItWhenAccepted) {
  for (const bool accepted : {false, true}) {
    JobRun job(appSong("many_velocities.mid"));  // 1,440 sounds with a velocity width of 1
    ASSERT_TRUE(job.run(request("song.mid", {"0:velocitySplitWidth=1", "0:wavDefinitionGap=0"})));
    ASSERT_FALSE(job.form.rows().empty());
    job.form.acceptsOffers = accepted;
    WorkingFolder here(job.dir.path());
    const Result<OutputResult> result =
        runOutput(job.app, {"song_out.mid", {}, OutputChoice::MidiAndChart}, &job.form);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->chart && result->chart->status, accepted);
    EXPECT_EQ(std::filesystem::exists(job.dir.file("song_out.bme")), accepted);
    EXPECT_EQ(job.app.rowSettings(0).velocitySplitWidth > 1, accepted);
    EXPECT_EQ(job.form.rows()[0].settings.velocitySplitWidth > 1, accepted);
    ASSERT_EQ(job.form.messages().size(), accepted ? 2u : 1u);
    const std::string told = job.form.messages().back().in(Audience::EnglishConsole);
    EXPECT_NE(told.find(accepted ? "row 0 Many: velocitySplitWidth 1 " : "would run up to 1440"),
              std::string::npos)
        << told;
  }
}

}  // namespace
}  // namespace rendlow::test
