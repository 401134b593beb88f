#include "midi/song.h"

#include <algorithm>

namespace rendlow {

EventKind classifyStatus(uint8_t status) {
  if (status < 0x80) return EventKind::None;
  switch (status & 0xF0) {
    case 0x80: return EventKind::NoteOff;
    case 0x90: return EventKind::NoteOn;
    case 0xA0: return EventKind::PolyPressure;
    case 0xB0: return EventKind::ControlChange;
    case 0xC0: return EventKind::ProgramChange;
    case 0xD0: return EventKind::ChannelPressure;
    case 0xE0: return EventKind::PitchBend;
    default: break;
  }
  if (status == 0xF0) return EventKind::SysEx;
  if (status == 0xF7) return EventKind::SysExEscape;
  return EventKind::Meta;
}

void MidiTrack::addEvent(const MidiEvent& event, int32_t& songEnd) {
  MidiEvent& added = events.emplace_back(event);
  added.index = static_cast<int32_t>(events.size() - 1);
  songEnd = std::max(songEnd, event.tick);
}

void MidiTrack::useController(int32_t number) {
  const auto at = std::lower_bound(controllers.begin(), controllers.end(), number);
  if (at == controllers.end() || *at != number) controllers.insert(at, number);
}

std::span<const uint8_t> Song::dataOf(const MidiEvent& event) const {
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

int32_t beatAt(const std::vector<Beat>& beats, int32_t tick) {
  if (beats.empty()) return kNone;
  int32_t found = 0;
  for (std::size_t i = 0; i < beats.size() && beats[i].tick <= tick; ++i) found = static_cast<int32_t>(i);
  return found;
}

}  // namespace rendlow
