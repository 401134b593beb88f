#include "app/conversion.h"

#include "base/messages.h"
#include "bms/chart_building.h"
#include "midi/midi_writer.h"
#include "slicer/note_extraction.h"

namespace rendlow {

namespace {

std::vector<SlicedTrack> sliceTracks(const Song& song, std::span<const TrackSettings> settings,
                                     Diagnostics& diagnostics) {
  std::vector<SlicedTrack> sliced(song.tracks.size());
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (settings[i].enabled) sliced[i] = extractNotes(song.tracks[i], settings[i], song.tempos, diagnostics);
  }
  return sliced;
}

// The layout as built, or which track could not be laid out. A track that is not converted stays
// as read: the re-timing still moves its tempo changes.
Result<RenderingLayout> layOutTracks(const Song& song, const Converted& converted,
                                     const std::string& songPath) {
  RenderingLayout layout;
  layout.tracks.reserve(song.tracks.size());
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    const TrackSettings& settings = converted.settings[i];
    if (!settings.enabled) {
      layout.tracks.push_back(trackAsRead(song.tracks[i]));
      continue;
    }
    Result<LaidOutTrack> track =
        layOutTrack(song.tracks[i], converted.sliced[i], static_cast<int32_t>(i), settings, song.tempos);
    if (!track) {
      return Problem{trackTooComplexMessage(songPath, static_cast<int32_t>(i) + 1, song.tracks[i].name,
                                            track.problem().message)};
    }
    layout.tracks.push_back(std::move(*track));
  }
  return layout;
}

void buildChartOf(const Song& song, Converted& converted) {
  converted.measures = buildMeasureGrid(song, lastObjectTick(song, converted.tracks, converted.sliced));
  converted.chart =
      buildChart(song, converted.tracks, converted.sliced, converted.settings, converted.measures);
}

}  // namespace

std::vector<std::size_t> convertedTracks(const Song& song, std::span<const TrackSettings> settings) {
  std::vector<std::size_t> converted;
  for (std::size_t i = 0; i < song.tracks.size(); ++i) {
    if (song.tracks[i].hasContent && settings[i].enabled) converted.push_back(i);
  }
  return converted;
}

Result<Converted> convertSong(const Song& song, std::span<const TrackSettings> settings, bool withChart,
                              const std::string& songPath, Diagnostics& diagnostics) {
  Converted converted;
  converted.tracks = convertedTracks(song, settings);
  converted.settings.assign(settings.begin(), settings.end());
  converted.sliced = sliceTracks(song, settings, diagnostics);
  Result<RenderingLayout> built = layOutTracks(song, converted, songPath);
  if (!built) return built.problem();
  RetimedLayout retimed =
      retimeLayout(std::move(built).value(), song, converted.sliced, settings, diagnostics);
  converted.layout = std::move(retimed.layout);
  converted.retiming = retimed.report;
  if (withChart) buildChartOf(song, converted);
  return converted;
}

Result<std::string> encodeRenderingFile(const Song& song, const Converted& converted,
                                        Diagnostics& diagnostics) {
  std::vector<TrackToWrite> tracks;
  for (const std::size_t track : converted.tracks)
    tracks.push_back({track, converted.layout.tracks[track].events});
  return encodeMidiFile(song, tracks, diagnostics);
}

}  // namespace rendlow
