#include "audio/cut/stem_layout.h"

#include <array>
#include <cstdint>

namespace rendlow::audio {

namespace {

constexpr uint8_t kVolume = 7;
constexpr uint8_t kExpression = 11;

// What a track's events have set so far: the notes held and each channel's volume and
// expression, as a General MIDI player starts them.
class TrackState {
public:
  TrackState() {
    volume_.fill(100);
    expression_.fill(127);
  }

  void apply(const ChannelMessage& message) {
    const int channel = message.status & 0x0F;
    switch (message.status & 0xF0) {
      case 0x90:
        if (message.data2 > 0) {
          ++held_;
          return;
        }
        [[fallthrough]];
      case 0x80:
        if (held_ > 0 && --held_ == 0) silentSince_ = message.tick;
        return;
      case 0xB0:
        if (message.data1 == kVolume) volume_[channel] = message.data2;
        if (message.data1 == kExpression) expression_[channel] = message.data2;
        return;
      default:
        return;
    }
  }

  bool holdsNotes() const { return held_ > 0; }
  int64_t silentSince() const { return silentSince_; }
  bool heard(const ChannelMessage& noteOn) const {
    const int channel = noteOn.status & 0x0F;
    return noteOn.data2 > 0 && volume_[channel] > 0 && expression_[channel] > 0;
  }

private:
  int32_t held_ = 0;
  int64_t silentSince_ = 0;
  std::array<uint8_t, 16> volume_{};
  std::array<uint8_t, 16> expression_{};
};

bool startsNote(const ChannelMessage& message) { return (message.status & 0xF0) == 0x90 && message.data2 > 0; }

}  // namespace

StemTrack stemTrackOf(const RenderingFileTrack& track, const TempoMap& tempoMap) {
  StemTrack stem{track.stemName, {}, 0};
  std::vector<bool> heard(track.sounds.size(), false);
  TrackState state;
  // Each sound is placed when the events before its start have all been applied.
  const auto reach = [&](int64_t tick) {
    while (stem.sounds.size() < track.sounds.size() && track.sounds[stem.sounds.size()].startTick <= tick) {
      const RenderingFileSound& sound = track.sounds[stem.sounds.size()];
      const double start = tempoMap.secondsAt(sound.startTick);
      const double silentFrom = state.holdsNotes() ? start : tempoMap.secondsAt(state.silentSince());
      stem.sounds.push_back({sound.fileName, start, tempoMap.secondsAt(sound.endTick), start - silentFrom, false});
    }
  };
  for (const ChannelMessage& message : track.events) {
    reach(message.tick);
    state.apply(message);
    if (!stem.sounds.empty() && startsNote(message) && state.heard(message)) heard[stem.sounds.size() - 1] = true;
  }
  reach(INT64_MAX);
  for (std::size_t s = 0; s < stem.sounds.size(); ++s) stem.sounds[s].silentInSong = !heard[s];
  stem.endSeconds = tempoMap.secondsAt(track.events.empty() ? 0 : track.events.back().tick);
  return stem;
}

}  // namespace rendlow::audio
