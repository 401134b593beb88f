#include "app/conversion.h"

#include "app/project.h"
#include "bms/measure_grid.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"

namespace rendlow {

ConversionReport convert(Project& project, Diagnostics& diagnostics) {
  Song& song = project.song;
  buildMeasures(song);
  project.sliced.assign(song.tracks.size(), SlicedTrack{});
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (project.settings[i].enabled)
      project.sliced[i] = extractNotes(song.tracks[i], project.settings[i], song.tempos, diagnostics);
  }
  ConversionReport report;
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (!project.settings[i].enabled) continue;
    if (!buildRenderLayout(song.tracks[i], static_cast<int32_t>(i), project.sliced[i], project.settings[i],
                           song.tempos)) {
      report.refusedTrack = i;
      return report;
    }
  }
  report.retiming = settleLayout(song, project.sliced, project.settings, diagnostics);
  return report;
}

}  // namespace rendlow
