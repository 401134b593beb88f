#include "app/fit_report.h"

#include "app/project.h"
#include "bms/chart_format.h"
#include "slicer/track_fields.h"

namespace rendlow {

namespace {

std::vector<FittedField> changedFields(const Project& project, const FitChange& change) {
  std::vector<FittedField> fields;
  for (const TrackField& field : trackSettingsFields()) {
    if (field.kind == FieldKind::Name) continue;
    const int32_t before = numberOf(field, change.before);
    const int32_t after = numberOf(field, change.after);
    if (before == after) continue;
    fields.push_back(
        {change.row, project.song.tracks[change.track].name, std::string(field.name), before, after});
  }
  return fields;
}

}  // namespace

std::vector<FittedField> fittedFields(const Project& project, const FitResult& fit) {
  std::vector<FittedField> fields;
  for (const FitChange& change : fit.changes) {
    const std::vector<FittedField> ofRow = changedFields(project, change);
    fields.insert(fields.end(), ofRow.begin(), ofRow.end());
  }
  return fields;
}

Message fitReport(const Project& project, const FitResult& fit) {
  Message report = fitDoneLine(fit.largestIdBefore, fit.largestId, kMaxChartId, fit.meanMismatchDbBefore,
                               fit.meanMismatchDb);
  for (const FitChange& change : fit.changes)
    report = linesOf(report, fitRowLine(changedFields(project, change), change.idsBefore, change.idsAfter));
  return report;
}

Message wavIdRefusal(const Project& project, int64_t largest, int64_t limit) {
  const FitResult fit = fitChartIds(project, limit);
  if (!fit.fits) return wavIdBreachUnfittable(largest, limit, fit.largestId);
  return wavIdBreach(largest, limit, fittedFields(project, fit), fit.largestId);
}

}  // namespace rendlow
