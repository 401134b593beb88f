#include "app/chart_output.h"

#include <cstdint>

#include "app/project.h"
#include "bms/bms_writer.h"
#include "bms/bmson_writer.h"
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

Result<std::string> formatChart(Project& project, ChartFormat format) {
  buildChart(project);
  if (format == ChartFormat::Bmson)
    return formatBmsonChart(project.song, project.measures, project.chart, project.chartHeader);
  return formatBmsChart(project.song, project.measures, project.chart, project.chartHeader);
}

}  // namespace rendlow
