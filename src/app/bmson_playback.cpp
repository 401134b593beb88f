#include "app/bmson_playback.h"

#include <algorithm>
#include <vector>

#include "app/project.h"
#include "audio/synth/tempo_map.h"

namespace rendlow {

namespace {

// The tempo a bmson player keeps: init_bpm from the song's first tempo, then the chart's tempo
// changes but the first in time order, which is where init_bpm came from.
audio::TempoMap chartTempoMap(const Project& project) {
  const Song& song = project.song;
  std::vector<audio::TempoChange> changes;
  if (!song.tempos.empty()) changes.push_back({0, song.tempos.front().microseconds});
  for (const BMSBPM* change : laterTempoChanges(project.chart)) {
    const auto tempo = static_cast<std::size_t>(change->tempoIndex);
    if (tempo < song.tempos.size()) changes.push_back({change->tick, song.tempos[tempo].microseconds});
  }
  return audio::TempoMap(song.header.division, std::move(changes));
}

}  // namespace

audio::ChartBackground bmsonBackground(const Project& project) {
  const audio::TempoMap tempo = chartTempoMap(project);
  audio::ChartBackground background;
  for (const BMSTrack& track : project.chart.chartTracks) {
    for (const BMSNote& note : track.notes) {
      background.soundFiles[note.wav] = soundFileName(track.definitionName, note.fileNumber);
      background.objects.push_back({tempo.secondsAt(note.tick), note.wav});
    }
  }
  std::stable_sort(background.objects.begin(), background.objects.end(),
                   [](const audio::BackgroundObject& a, const audio::BackgroundObject& b) { return a.seconds < b.seconds; });
  return background;
}

}  // namespace rendlow
