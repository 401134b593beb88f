// The fit: the finest slicing whose chart fits a number of #WAV ids, found by measuring each step
// on a plan of the tracks.

#include "app/fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/output_flow.h"
#include "job_fixture.h"
#include "support/case_table.h"

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
  for (const CaseLine& c : readCaseTable("app/data/fit_steps.txt")) {
    SCOPED_TRACE(c.where);
    Loaded song;
    const int64_t before = fitChartIds(song.job.app.project, 1000).largestId;
    const FitResult fit = fitChartIds(song.job.app.project, std::stoll(c.columns[1]));
    EXPECT_EQ(std::tuple(fit.largestIdBefore, fit.fits, !fit.changes.empty(), fit.largestId),
              std::tuple(before, c.columns[2] == "yes", c.columns[3] == "yes", std::stoll(c.columns[4])));
    applyFit(song.job.app.project, fit);
    for (const int row : {0, 1}) {
      if (c.columns[5 + row] != "-") {
        EXPECT_EQ(song.row(row).velocitySplitWidth, std::stoi(c.columns[5 + row]));
      }
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
