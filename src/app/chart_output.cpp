#include "app/chart_output.h"

#include "app/application.h"
#include "base/file_output.h"
#include "bms/bms_writer.h"
#include "bms/chart_building.h"

namespace rendlow {

namespace {

void buildChart(Application& app) {
  Project& project = app.project;
  project.chart = Chart{};
  app.nextWavId = 1;
  for (const std::size_t track : project.convertedTracks()) {
    project.chart.chartTracks.push_back(buildChartTrack(project.song, track, project.sliced[track],
                                                        project.settings[track], project.chart.chartBpms,
                                                        app.nextWavId));
  }
}

}  // namespace

Result<std::optional<Message>> writeChart(Application& app, const std::string& chartPath) {
  buildChart(app);
  Result<std::string> chart = formatBmsChart(app.project.song, app.project.chart, app.project.chartHeader);
  if (!chart) return std::optional<Message>(chart.problem().message);
  if (Result<void> written = writeFileAtomically(chartPath, *chart, FileMode::Text); !written)
    return written.problem();
  return std::optional<Message>();
}

}  // namespace rendlow
