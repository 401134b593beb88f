// The progress of long work as the command line draws it: the bar's text, the lines of
// --verbose, and which of them a run shows.

#include "cli/progress_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/error_output.h"

namespace rendlow::test {
namespace {

using cli::ProgressStyle;

Progress sounds(int32_t done, int32_t tracks, bool phaseDone = false) {
  return {WorkPhase::RenderingSounds, phaseDone, tracks, done, 0, 0};
}
Progress measuring(double measured, double song, bool phaseDone = false) {
  return {WorkPhase::Measuring, phaseDone, 4, 4, song, measured};
}

TEST(ProgressDisplay, TheBarShowsThePhaseTheShareDoneAndTheTimeLeft) {
  const std::tuple<Progress, double, const char*> cases[] = {
      {sounds(0, 4), 0, "rendering sounds [........................] 0/4 tracks"},
      {sounds(2, 4), 3, "rendering sounds [######..................] 2/4 tracks, about 9 s left"},
      {{WorkPhase::CuttingSounds, true, 4, 4, 0, 0},
       10,
       "cutting sounds [############............] 4/4 tracks, about 10 s left"},
      {measuring(30, 60), 15,
       "measuring [##################......] 30.000/60.000 s of the song, about 5 s left"},
      {measuring(60, 60, true), 20, "measuring [########################] 60.000/60.000 s of the song"},
      {measuring(0, 0), 1, "measuring [############............] 0.000/0.000 s of the song, about 1 s left"},
  };
  for (const auto& [progress, elapsed, text] : cases)
    EXPECT_EQ(cli::progressBarText(progress, elapsed, Audience::EnglishConsole), text);
}

// A bar on a terminal, lines with --verbose elsewhere, and nothing with --quiet; the lines tell
// each phase as it begins.
TEST(ProgressDisplay, ARunShowsABarOnATerminalAndPhaseLinesOnlyWhenVerbose) {
  const std::tuple<bool, bool, bool, ProgressStyle> cases[] = {
      // terminal, quiet, verbose
      {true, false, false, ProgressStyle::Bar},   {true, false, true, ProgressStyle::Bar},
      {true, true, true, ProgressStyle::None},    {false, false, true, ProgressStyle::PhaseLines},
      {false, false, false, ProgressStyle::None}, {false, true, true, ProgressStyle::None},
  };
  for (const auto& [terminal, quiet, verbose, style] : cases)
    EXPECT_EQ(cli::progressStyleFor(terminal, quiet, verbose), style) << terminal << quiet << verbose;
  std::ostringstream lines;
  const ProgressReport report = cli::progressReport(ProgressStyle::PhaseLines, lines);
  for (const Progress& progress :
       {sounds(0, 3), sounds(3, 3, true), measuring(0, 14.5), measuring(14.5, 14.5, true)})
    report(progress);
  // The console speaks English but where it speaks code page 932.
  const std::string told = lines.str();
  if (cli::consoleAudience() == Audience::EnglishConsole) {
    EXPECT_EQ(told,
              "rendlow-cli: rendering the sounds of 3 tracks\nrendlow-cli: measuring 14.500 s of the song\n");
  }
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 2);
  EXPECT_FALSE(cli::progressReport(ProgressStyle::None, lines));
}

}  // namespace
}  // namespace rendlow::test
