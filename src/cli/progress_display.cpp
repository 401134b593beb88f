#include "cli/progress_display.h"

#include <cmath>
#include <ctime>
#include <memory>
#include <optional>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/messages_cli.h"
#include "cli/error_output.h"

namespace rendlow::cli {

namespace {

constexpr int kBarCells = 24;

Message phaseName(WorkPhase phase) {
  switch (phase) {
    case WorkPhase::RenderingSounds:
      return renderingPhaseName();
    case WorkPhase::CuttingSounds:
      return cuttingPhaseName();
    case WorkPhase::Measuring:
      return measuringPhaseName();
  }
  return {};
}

Message doneText(const Progress& progress) {
  if (progress.phase == WorkPhase::Measuring)
    return secondsMeasuredText(progress.secondsMeasured, progress.songSeconds);
  return tracksDoneText(progress.tracksDone, progress.tracks);
}

// Whole seconds by the wall clock: <chrono> cannot be compiled for the program's code page, the
// Windows C library has no timespec_get, and a progress bar needs no finer clock.
double nowSeconds() { return static_cast<double>(std::time(nullptr)); }

}  // namespace

std::string progressBarText(const Progress& progress, double elapsedSeconds, Audience audience) {
  const double share = shareDone(progress);
  const auto filled = static_cast<int>(std::lround(share * kBarCells));
  std::string text = phaseName(progress.phase).in(audience) + " [" + std::string(filled, '#') +
                     std::string(kBarCells - filled, '.') + "] " + doneText(progress).in(audience);
  if (share > 0 && share < 1) {
    const auto left = static_cast<int64_t>(std::lround(elapsedSeconds * (1 - share) / share));
    text += ", " + timeLeftText(left).in(audience);
  }
  return text;
}

std::optional<Message> phaseLine(const Progress& progress) {
  if (progress.phaseDone) return std::nullopt;
  if (progress.phase == WorkPhase::Measuring) return measurePhaseLine(progress.songSeconds);
  return soundsPhaseLine(progress.phase == WorkPhase::CuttingSounds, progress.tracks);
}

ProgressStyle progressStyleFor(bool terminal, bool quiet, bool verbose) {
  if (quiet) return ProgressStyle::None;
  if (terminal) return ProgressStyle::Bar;
  return verbose ? ProgressStyle::PhaseLines : ProgressStyle::None;
}

bool standardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(2) != 0;
#else
  return isatty(2) != 0;
#endif
}

ProgressReport progressReport(ProgressStyle style, std::ostream& err) {
  switch (style) {
    case ProgressStyle::None:
      return {};
    case ProgressStyle::PhaseLines:
      return [&err](const Progress& progress) {
        if (const std::optional<Message> line = phaseLine(progress)) printMessage(err, *line);
      };
    case ProgressStyle::Bar:
      break;
  }
  const double start = nowSeconds();
  // The bar is redrawn over itself, and wiped once the last phase ends so the report follows on
  // a clean line.
  return [&err, start, drawn = std::make_shared<std::size_t>(0)](const Progress& progress) {
    const std::string bar = progressBarText(progress, nowSeconds() - start, consoleAudience());
    const bool last = progress.phase == WorkPhase::Measuring && progress.phaseDone;
    err << '\r' << std::string(*drawn, ' ') << '\r';
    *drawn = last ? 0 : bar.size();
    if (!last) err << bar;
    err.flush();
  };
}

}  // namespace rendlow::cli
