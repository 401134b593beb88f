#include "app/fit_flow.h"

#include "app/application.h"
#include "base/messages.h"
#include "bms/chart_format.h"

namespace rendlow {

Result<FitResult> fitRowsIntoIds(Application& app) {
  // The song the output will convert, with the rows' settings as they stand.
  app.useSongAsOutputReadsIt();
  FitResult fit = fitChartIds(app.project, kMaxChartId);
  if (!fit.fits) return Problem{fitImpossibleMessage(fit.largestIdBefore, fit.largestId, kMaxChartId)};
  applyFit(app.project, fit);
  return fit;
}

}  // namespace rendlow
