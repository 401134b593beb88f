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

std::optional<std::size_t> layOutAllTracks(Project& project) {
  for (std::size_t index = 0; index < project.tracks.size(); ++index) {
    MidiTrack& track = *project.tracks[index];
    if (track.settings.enabled && !buildRenderLayout(track)) return index;
  }
  return std::nullopt;
}

ConversionReport convert(Project& project, Diagnostics& diagnostics) {
  buildMeasures(project);
  extractAllNotes(project, diagnostics);
  ConversionReport report;
  report.refusedTrack = layOutAllTracks(project);
  if (report.refusedTrack) return report;
  report.retiming = settleLayout(project, diagnostics);
  return report;
}

}  // namespace rendlow
