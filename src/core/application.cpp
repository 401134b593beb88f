#include "core/application.h"

namespace rendlow {

bool Application::getRowSettings(int n, TrackSettings& out) const {
  const auto track = project.listedTrack(n);
  if (!track) return false;
  out = track->settings;
  return true;
}

namespace {

void applyText(std::string& field, const std::string& edit) {
  if (!edit.empty()) field = edit;
}

void applyNumber(int32_t& field, int32_t edit) {
  if (edit >= 0) field = edit;
}

}  // namespace

bool Application::applyRowSettings(int n, const TrackSettings& record) {
  const auto track = project.listedTrack(n);
  if (!track || n >= static_cast<int>(rowSettings.size())) return false;
  TrackSettings& s = track->settings;
  applyText(s.trackName, record.trackName);
  applyText(s.definitionName, record.definitionName);
  applyNumber(s.velocitySplitWidth, record.velocitySplitWidth);
  applyNumber(s.ccSplitWidth, record.ccSplitWidth);
  applyNumber(s.noteInterval, record.noteInterval);
  applyNumber(s.gridUnit, record.gridUnit);
  applyNumber(s.multipleThreshold, record.multipleThreshold);
  applyNumber(s.ccInterval, record.ccInterval);
  applyNumber(s.wavDefinitionGap, record.wavDefinitionGap);
  if (record.splitMethod != -1) s.splitMethod = record.splitMethod;
  s.ignoreBpm = record.ignoreBpm;
  // An unchecked row keeps its track out of the conversion, the rendering file and the chart.
  s.enabled = record.enabled;
  rowSettings[static_cast<std::size_t>(n)] = s;
  return true;
}

}  // namespace rendlow
