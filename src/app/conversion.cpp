#include "app/conversion.h"

#include <vector>

#include "app/project.h"
#include "midi/midi_writer.h"
#include "slicer/note_extraction.h"
#include "slicer/render_layout.h"

namespace rendlow {

namespace {

std::vector<SlicedTrack> sliceTracks(const Project& project, Diagnostics& diagnostics) {
  const Song& song = project.song;
  std::vector<SlicedTrack> sliced(song.tracks.size());
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (project.settings[i].enabled)
      sliced[i] = extractNotes(song.tracks[i], project.settings[i], song.tempos, diagnostics);
  }
  return sliced;
}

// The layout as built, or the position of the first track that could not be laid out. A track
// that is not converted stays as read: the re-timing still moves its tempo changes.
RenderingLayout layOutTracks(const Project& project, std::optional<std::size_t>& refusedTrack) {
  const Song& song = project.song;
  RenderingLayout layout;
  layout.tracks.reserve(song.tracks.size());
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (!project.settings[i].enabled) {
      layout.tracks.push_back(trackAsRead(song.tracks[i]));
      continue;
    }
    std::optional<LaidOutTrack> track =
        layOutTrack(song.tracks[i], project.sliced[i], static_cast<int32_t>(i), project.settings[i], song.tempos);
    if (!track) {
      refusedTrack = i;
      return {};
    }
    layout.tracks.push_back(std::move(*track));
  }
  return layout;
}

}  // namespace

ConversionReport convert(Project& project, Diagnostics& diagnostics) {
  project.layout = {};
  project.sliced = sliceTracks(project, diagnostics);
  ConversionReport report;
  RenderingLayout built = layOutTracks(project, report.refusedTrack);
  if (report.refusedTrack) return report;
  RetimedLayout retimed =
      settleLayout(std::move(built), project.song, project.sliced, project.settings, diagnostics);
  project.layout = std::move(retimed.layout);
  report.retiming = retimed.report;
  return report;
}

Result<std::string> encodeRenderingFile(const Project& project, Diagnostics& diagnostics) {
  std::vector<TrackToWrite> tracks;
  for (const std::size_t track : project.convertedTracks())
    tracks.push_back({track, project.layout.tracks[track].events});
  return encodeMidiFile(project.song, tracks, diagnostics);
}

}  // namespace rendlow
