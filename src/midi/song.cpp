#include "midi/song.h"

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

std::shared_ptr<MidiEvent> MidiEvent::copy() const {
  auto c = std::make_shared<MidiEvent>();
  c->track = track;
  c->tick = tick;
  c->delta = delta;
  c->status = status;
  c->kind = kind;
  c->length = length;
  c->metaType = metaType;
  c->data = data;
  c->next = next;
  c->prev = prev;
  c->note = note;
  c->tempo = tempo;
  return c;
}

void MidiTrack::addEvent(const std::shared_ptr<MidiEvent>& event, int32_t& songEnd) {
  MidiEvent* last = events.empty() ? nullptr : events.back().get();
  event->index = static_cast<int32_t>(events.size());
  events.push_back(event);
  if (last) last->next = event.get();
  if (event->tick > songEnd) songEnd = event->tick;
  event->prev = last;
}

namespace {

template <typename List, typename KeyOf>
typename List::value_type inEffectAt(const List& list, int32_t tick, KeyOf key) {
  if (list.empty()) return {};
  typename List::value_type found = list.front();
  for (const auto& entry : list) {
    if (key(*entry) > tick) break;
    found = entry;
  }
  return found;
}

}  // namespace

std::shared_ptr<Tempo> tempoAt(const TempoList& tempos, int32_t tick) {
  return inEffectAt(tempos, tick, [](const Tempo& t) { return t.shiftedTick; });
}

std::shared_ptr<Beat> beatAt(const BeatList& beats, int32_t tick) {
  return inEffectAt(beats, tick, [](const Beat& b) { return b.tick; });
}

}  // namespace rendlow
