#include "app/chart_output.h"

#include <cstdint>

#include "app/project.h"
#include "base/file_output.h"
#include "bms/bms_writer.h"
#include "bms/chart_building.h"

namespace rendlow {

namespace {

void buildChart(Project& project) {
  project.measures = buildMeasureGrid(project.song);
  project.chart = Chart{};
  int32_t nextWavId = 1;
  for (const std::size_t track : project.convertedTracks()) {
    project.chart.chartTracks.push_back(buildChartTrack(project.song, track, project.sliced[track],
                                                        project.settings[track], project.measures,
                                                        project.chart.chartBpms, nextWavId));
  }
}

}  // namespace

Result<std::optional<Message>> writeChart(Project& project, const std::string& chartPath) {
  buildChart(project);
  Result<std::string> chart = formatBmsChart(project.song, project.measures, project.chart, project.chartHeader);
  if (!chart) return std::optional<Message>(chart.problem().message);
  if (Result<void> written = writeFileAtomically(chartPath, *chart, FileMode::Text); !written)
    return written.problem();
  return std::optional<Message>();
}

}  // namespace rendlow
