#include "core/conversion.h"

#include "bms/measure_grid.h"
#include "core/project.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"

namespace rendlow {

void extractAllNotes(Project& project, Diagnostics& diagnostics) {
  for (const auto& track : project.tracks) {
    if (track->settings.enabled) extractNotes(*track, diagnostics);
  }
}

void layOutAllTracks(Project& project) {
  for (const auto& track : project.tracks) {
    if (track->settings.enabled) buildRenderLayout(*track);
  }
}

bool convert(Project& project, Diagnostics& diagnostics) {
  buildMeasures(project);
  extractAllNotes(project, diagnostics);
  layOutAllTracks(project);
  return settleLayout(project, diagnostics).settled();
}

}  // namespace rendlow
