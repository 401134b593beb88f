#include "core/chart_output.h"

#include "bms/bms_writer.h"
#include "bms/chart_building.h"
#include "core/application.h"
#include "base/file_output.h"
#include "core/form.h"

namespace rendlow {

namespace {

constexpr std::size_t kExtensionBytes = 4;

void buildChart(Application& app) {
  Project& project = app.project;
  project.chartTracks.clear();
  project.chartBpms.clear();
  app.nextWavId = 1;
  for (const auto& track : project.tracks) {
    if (!track->hasContent || !track->settings.enabled) continue;
    project.chartTracks.push_back(buildChartTrack(track, project, app.nextWavId));
  }
}

ChartResult tell(Form& form, ChartOutcome outcome, const std::string& path, const std::string& reason,
                 std::string message) {
  form.showMessage(message);
  return {outcome, path, reason, std::move(message)};
}

}  // namespace

std::optional<std::string> chartPathFor(std::string_view outputPath) {
  if (outputPath.size() <= kExtensionBytes) return std::nullopt;
  return std::string(outputPath.substr(0, outputPath.size() - kExtensionBytes)) + ".bme";
}

ChartResult writeChart(Application& app, Form& form, const std::string& outputPath) {
  const auto chartPath = chartPathFor(outputPath);
  if (!chartPath) return {};
  buildChart(app);
  const ChartText chart = formatBmsChart(app.project);
  if (chart.refusal) {
    return tell(form, ChartOutcome::Refused, *chartPath, *chart.refusal,
                chartRefusedMessage(*chartPath, *chart.refusal));
  }
  const WriteStatus status = writeFileAtomically(*chartPath, chart.text, FileMode::Text);
  if (!status) {
    return tell(form, ChartOutcome::Failed, *chartPath, status.reason,
                chartFailedMessage(*chartPath, status.reason));
  }
  return {ChartOutcome::Written, *chartPath, {}, {}};
}

}  // namespace rendlow
