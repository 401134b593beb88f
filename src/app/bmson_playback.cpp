#include "app/bmson_playback.h"

#include <algorithm>
#include <vector>

#include "audio/synth/tempo_map.h"
#include "bms/chart.h"
#include "midi/song.h"

namespace rendlow {

namespace {

// The tempo a bmson player keeps: init_bpm from the song's first tempo, then the chart's tempo
// changes but the first in time order, which is where init_bpm came from.
audio::TempoMap chartTempoMap(const Song& song, const Chart& chart) {
  std::vector<audio::TempoChange> changes;
  if (!song.tempos.empty()) changes.push_back({0, song.tempos.front().microseconds});
  for (const ChartTempo* change : laterTempoChanges(chart)) {
    const auto tempo = static_cast<std::size_t>(change->tempoIndex);
    if (tempo < song.tempos.size()) changes.push_back({change->tick, song.tempos[tempo].microseconds});
  }
  return audio::TempoMap(song.header.division, std::move(changes));
}

}  // namespace

audio::ChartBackground bmsonBackground(const Song& song, const Chart& chart) {
  const audio::TempoMap tempo = chartTempoMap(song, chart);
  audio::ChartBackground background;
  for (const ChartTrack& track : chart.tracks) {
    for (const ChartNote& note : track.notes) {
      background.soundFiles[note.wav] = soundFileName(track.definitionName, note.fileNumber);
      background.objects.push_back({tempo.secondsAt(note.tick), note.wav});
    }
  }
  std::stable_sort(background.objects.begin(), background.objects.end(),
                   [](const audio::BackgroundObject& a, const audio::BackgroundObject& b) {
                     return a.seconds < b.seconds;
                   });
  return background;
}

}  // namespace rendlow
