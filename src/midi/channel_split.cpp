#include "midi/channel_split.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "midi/in_effect_index.h"

namespace rendlow {

namespace {

constexpr int kChannels = 16;

std::optional<int> channelOf(const MidiEvent& event) {
  if (!isChannelKind(event.kind)) return std::nullopt;
  return event.status & 0x0F;
}

// The tempo change a new event at `tick` is linked to: the one an event read there would get
// once the whole file was read.
int32_t tempoInEffect(const std::vector<Tempo>& tempos, int32_t tick) {
  InEffectIndex index;
  for (const Tempo& tempo : tempos) index.append(tempo.tick);
  const auto found = index.find(tick);
  return found ? static_cast<int32_t>(*found) : kNone;
}

// "Ch01" ... "Ch16" for channel 0 ... 15.
std::string channelTrackName(int channel) {
  char text[8];
  std::snprintf(text, sizeof text, "Ch%02d", channel + 1);
  return text;
}

MidiEvent trackName(Song& song, const std::string& text, int32_t tempo) {
  MidiEvent name;
  name.status = 0xFF;
  name.kind = EventKind::Meta;
  name.metaType = kMetaTrackName;
  name.length = static_cast<int32_t>(text.size());
  name.dataOffset = song.store(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  std::copy_n(text.begin(), 2, name.head.begin());
  name.tempo = tempo;
  return name;
}

MidiEvent endOfTrack(int32_t tick, int32_t tempo) {
  MidiEvent end;
  end.tick = tick;
  end.status = 0xFF;
  end.kind = EventKind::Meta;
  end.metaType = kMetaEndOfTrack;
  end.tempo = tempo;
  return end;
}

// Numbers and times a track's events anew, and counts its bookkeeping again by the reader's rules.
void recount(MidiTrack& track, int32_t& songEnd) {
  EventList events = std::move(track.events);
  track.events.clear();
  track.events.reserve(events.size());
  int32_t previousTick = 0;
  for (MidiEvent& event : events) {
    event.delta = event.tick - previousTick;
    event.voice = 0;
    previousTick = event.tick;
    track.addEvent(event, songEnd);
  }
}

}  // namespace

void splitChannels(Song& song) {
  if (song.header.format != 0 || song.tracks.size() != 1) return;
  MidiTrack read = std::move(song.tracks.front());
  const auto used = [&] {
    std::array<bool, kChannels> used{};
    for (const MidiEvent& event : read.events) {
      if (const auto channel = channelOf(event)) used[static_cast<std::size_t>(*channel)] = true;
    }
    return used;
  }();
  if (std::none_of(used.begin(), used.end(), [](bool u) { return u; })) {
    song.tracks.front() = std::move(read);
    return;
  }
  const int32_t lastTick = read.events.empty() ? 0 : read.events.back().tick;
  const int32_t tempoAtStart = tempoInEffect(song.tempos, 0);
  const int32_t tempoAtEnd = tempoInEffect(song.tempos, lastTick);

  song.tracks.clear();
  song.tracks.reserve(1 + static_cast<std::size_t>(std::count(used.begin(), used.end(), true)));
  MidiTrack& conductor = song.tracks.emplace_back();
  conductor.name = read.name;
  std::array<std::size_t, kChannels> trackOfChannel{};
  for (int channel = 0; channel < kChannels; ++channel) {
    if (!used[static_cast<std::size_t>(channel)]) continue;
    trackOfChannel[static_cast<std::size_t>(channel)] = song.tracks.size();
    MidiTrack& track = song.tracks.emplace_back();
    track.name = channelTrackName(channel);
    track.events.push_back(trackName(song, track.name, tempoAtStart));
  }
  // Each event to its track; a tempo change follows its Set Tempo event.
  for (std::size_t i = 0; i < read.events.size(); ++i) {
    const MidiEvent& event = read.events[i];
    const auto channel = channelOf(event);
    MidiTrack& track = song.tracks[channel ? trackOfChannel[static_cast<std::size_t>(*channel)] : 0];
    if (event.isMeta(kMetaTempo) && event.tempo != kNone) {
      Tempo& tempo = song.tempos[static_cast<std::size_t>(event.tempo)];
      if (std::cmp_equal(tempo.event, i)) tempo.event = static_cast<int32_t>(track.events.size());
    }
    track.events.push_back(event);
  }
  for (std::size_t t = 1; t < song.tracks.size(); ++t)
    song.tracks[t].events.push_back(endOfTrack(lastTick, tempoAtEnd));
  song.songEnd = 0;
  for (MidiTrack& track : song.tracks) recount(track, song.songEnd);
  for (Tempo& tempo : song.tempos) tempo.track = 0;
}

}  // namespace rendlow
