#include "support/converted_track.h"

#include <algorithm>

namespace rendlow::test {

ConvertedTrack::ConvertedTrack(Project& project, const std::string& definitionName)
    : track(std::make_shared<MidiTrack>()), project_(project) {
  track->settings.definitionName = definitionName;
  track->hasContent = true;
  project.tracks.push_back(track);
}

std::shared_ptr<MidiEvent> ConvertedTrack::noteEvent(int32_t tick, EventKind kind, int pitch, int velocity) {
  auto event = std::make_shared<MidiEvent>();
  event->track = track.get();
  event->tick = tick;
  event->kind = kind;
  event->status = kind == EventKind::NoteOn ? 0x90 : 0x80;
  event->length = 2;
  event->data = {static_cast<uint8_t>(pitch), static_cast<uint8_t>(velocity)};
  track->originalEvents.push_back(event);
  project_.songEnd = std::max(project_.songEnd, tick);
  return event;
}

std::shared_ptr<Note> ConvertedTrack::note(int32_t tick, int32_t definition, int32_t sound, int32_t voice,
                                           int32_t length) {
  auto note = std::make_shared<Note>();
  const int pitch = pitch_++;
  note->noteOn = noteEvent(tick, EventKind::NoteOn, pitch, 100);
  note->noteOff = noteEvent(tick + length, EventKind::NoteOff, pitch, 0);
  note->noteOn->note = note;
  note->noteOff->note = note;
  note->noteOn->voice = voice;
  note->definition = definition;
  note->sound = sound;
  note->voice = voice;
  note->duration = length;
  track->notes.push_back(note);
  return note;
}

std::shared_ptr<Note> ConvertedTrack::member(const std::shared_ptr<Note>& head, int32_t tick,
                                             int32_t length) {
  auto member = note(tick, head->definition, head->sound, 0, length);
  head->appendToChain(member);
  return member;
}

std::shared_ptr<Tempo> ConvertedTrack::tempo(int32_t tick, float bpm) {
  auto event = std::make_shared<MidiEvent>();
  event->track = track.get();
  event->tick = tick;
  event->kind = EventKind::Meta;
  event->status = 0xFF;
  event->metaType = kMetaTempo;
  event->length = 3;
  event->data = {0x07, 0xA1, 0x20};
  auto tempo = std::make_shared<Tempo>();
  tempo->event = event;
  tempo->bpm = bpm;
  tempo->tick = tick;
  tempo->shiftedTick = tick;
  tempo->index = static_cast<int32_t>(project_.tempos.size());
  project_.tempos.push_back(tempo);
  event->tempo = tempo;
  track->originalEvents.push_back(event);
  track->hasTempo = true;
  project_.songEnd = std::max(project_.songEnd, tick);
  return tempo;
}

std::shared_ptr<MidiTrack> ConvertedTrack::finish() {
  auto& events = track->originalEvents;
  std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
    if (a->tick != b->tick) return a->tick < b->tick;
    return a->kind != EventKind::NoteOff && b->kind == EventKind::NoteOff;
  });
  for (std::size_t i = 0; i < events.size(); ++i) events[i]->index = static_cast<int32_t>(i);
  return track;
}

}  // namespace rendlow::test
