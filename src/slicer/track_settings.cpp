#include "slicer/track_settings.h"

namespace rendlow {

namespace {

void applyText(std::string& field, const std::string& edit) {
  if (!edit.empty()) field = edit;
}

void applyNumber(int32_t& field, int32_t edit) {
  if (edit >= 0) field = edit;
}

}  // namespace

void TrackSettings::applyEdit(const TrackSettings& edit) {
  applyText(trackName, edit.trackName);
  applyText(definitionName, edit.definitionName);
  applyNumber(velocitySplitWidth, edit.velocitySplitWidth);
  applyNumber(ccSplitWidth, edit.ccSplitWidth);
  applyNumber(noteInterval, edit.noteInterval);
  applyNumber(gridUnit, edit.gridUnit);
  applyNumber(multipleThreshold, edit.multipleThreshold);
  applyNumber(ccInterval, edit.ccInterval);
  applyNumber(wavDefinitionGap, edit.wavDefinitionGap);
  if (edit.splitMethod != -1) splitMethod = edit.splitMethod;
  ignoreBpm = edit.ignoreBpm;
  // An unchecked row keeps its track out of the conversion, the rendering file and the chart.
  enabled = edit.enabled;
}

}  // namespace rendlow
