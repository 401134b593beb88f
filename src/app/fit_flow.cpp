#include "app/fit_flow.h"

#include "app/application.h"
#include "base/messages.h"
#include "bms/chart_format.h"

namespace rendlow {

Result<std::optional<FitResult>> fitRowsIntoIds(Application& app) {
  // The song the output will convert, with the rows' settings as they stand.
  app.restoreSongAsRead();
  FitResult fit = fitChartIds(app.project, kMaxChartId);
  if (!fit.fits) return Problem{fitImpossibleMessage(fit.largestIdBefore, fit.largestId, kMaxChartId)};
  if (fit.changes.empty()) return std::optional<FitResult>();
  applyFit(app.project, fit);
  return std::optional<FitResult>(std::move(fit));
}

}  // namespace rendlow
