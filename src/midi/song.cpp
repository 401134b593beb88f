#include "midi/song.h"

#include <algorithm>

namespace rendlow {

EventKind classifyStatus(uint8_t status) {
  if (status < 0x80) return EventKind::None;
  switch (status & 0xF0) {
    case 0x80:
      return EventKind::NoteOff;
    case 0x90:
      return EventKind::NoteOn;
    case 0xA0:
      return EventKind::PolyPressure;
    case 0xB0:
      return EventKind::ControlChange;
    case 0xC0:
      return EventKind::ProgramChange;
    case 0xD0:
      return EventKind::ChannelPressure;
    case 0xE0:
      return EventKind::PitchBend;
    default:
      break;
  }
  if (status == 0xF0) return EventKind::SysEx;
  if (status == 0xF7) return EventKind::SysExEscape;
  return EventKind::Meta;
}

void MidiTrack::addEvent(MidiEvent event, int32_t& songEnd) {
  if (event.startsNote()) {
    event.voice = activeNotes++;
    maxPolyphony = std::max(maxPolyphony, activeNotes);
  } else if (event.endsNote()) {
    --activeNotes;
  } else if (event.kind == EventKind::ControlChange) {
    const auto at = std::lower_bound(controllers.begin(), controllers.end(), event.signedData(0));
    if (at == controllers.end() || *at != event.signedData(0)) controllers.insert(at, event.signedData(0));
  }
  hasTempo = hasTempo || event.isMeta(kMetaTempo);
  hasContent = hasContent || event.countsAsContent();
  event.index = static_cast<int32_t>(events.size());
  songEnd = std::max(songEnd, event.tick);
  events.push_back(event);
}

std::span<const uint8_t> Song::dataOf(const EventContent& event) const {
  const auto length = static_cast<std::size_t>(std::max(event.length, 0));
  if (isChannelKind(event.kind)) return std::span(event.head).first(std::min(length, event.head.size()));
  if (event.dataOffset > bytes.size()) return {};
  return std::span(bytes).subspan(event.dataOffset, std::min(length, bytes.size() - event.dataOffset));
}

uint32_t Song::store(std::span<const uint8_t> data) {
  const auto offset = static_cast<uint32_t>(bytes.size());
  bytes.insert(bytes.end(), data.begin(), data.end());
  return offset;
}

int32_t tempoMicroseconds(const Song& song, const EventContent& event) {
  const auto data = song.dataOf(event);
  int32_t microseconds = 0;
  for (std::size_t i = 0; i < 3; ++i) microseconds = (microseconds << 8) | (i < data.size() ? data[i] : 0);
  return microseconds;
}

bool hasNote(const Song& song) {
  return std::any_of(song.tracks.begin(), song.tracks.end(), [](const MidiTrack& track) {
    return std::any_of(track.events.begin(), track.events.end(),
                       [](const MidiEvent& event) { return event.startsNote(); });
  });
}

int32_t timeSignatureAt(const std::vector<TimeSignature>& beats, int32_t tick) {
  if (beats.empty()) return kNone;
  int32_t found = 0;
  for (std::size_t i = 0; i < beats.size() && beats[i].tick <= tick; ++i) found = static_cast<int32_t>(i);
  return found;
}

}  // namespace rendlow
