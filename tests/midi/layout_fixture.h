#pragma once

// Rendering layouts written by hand, event by event with their deltas, the way the slicing
// engine leaves them: sound heads linked to their notes, controller presets without a tempo,
// every other event linked to the tempo change it was read under.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "app/project.h"
#include "slicer/note.h"

namespace rendlow::test {

inline std::shared_ptr<Tempo> addTempo(Project& project, int32_t tick) {
  auto tempo = std::make_shared<Tempo>();
  tempo->bpm = 120.0f;
  tempo->tick = tick;
  tempo->shiftedTick = tick;
  tempo->index = static_cast<int32_t>(project.tempos.size());
  project.tempos.push_back(tempo);
  return tempo;
}

class LayoutTrack {
public:
  LayoutTrack(Project& project, int32_t noteInterval = 960, int32_t gridUnit = 0)
      : track_(std::make_shared<MidiTrack>()) {
    track_->settings.noteInterval = noteInterval;
    track_->settings.gridUnit = gridUnit;
    track_->hasContent = true;
    project.tracks.push_back(track_);
  }

  MidiTrack& track() { return *track_; }

  // A sound head: its note-on `delta` after the previous event and its note-off `duration` later.
  // `offTempo` (when given) is the tempo the note-off was read under: a note held across a
  // tempo change ends in the next section.
  std::shared_ptr<Note> sound(int32_t delta, int32_t duration, const std::shared_ptr<Tempo>& tempo,
                              const std::shared_ptr<Tempo>& offTempo = nullptr) {
    auto note = noteOn(delta, tempo);
    note->duration = duration;
    noteOff(duration, 60, offTempo ? offTempo : tempo);
    return note;
  }
  // A note-on whose note is chained behind `head` (a chord or legato member).
  std::shared_ptr<Note> member(int32_t delta, const std::shared_ptr<Note>& head,
                               const std::shared_ptr<Tempo>& tempo) {
    auto note = noteOn(delta, tempo);
    head->appendToChain(note);
    return note;
  }
  std::shared_ptr<Note> noteOn(int32_t delta, const std::shared_ptr<Tempo>& tempo) {
    auto& event = add(delta, 0x90, EventKind::NoteOn, {60, 100}, tempo);
    auto note = std::make_shared<Note>();
    note->noteOn = track_->events.back();
    event.note = note;
    track_->notes.push_back(note);
    return note;
  }
  MidiEvent& noteOff(int32_t delta, uint8_t pitch, const std::shared_ptr<Tempo>& tempo) {
    return add(delta, 0x80, EventKind::NoteOff, {pitch, 0}, tempo);
  }
  // A controller preset: no tempo link, as the layout makes them.
  MidiEvent& preset(int32_t delta) { return add(delta, 0xB0, EventKind::ControlChange, {7, 100}, nullptr); }
  MidiEvent& tempoChange(int32_t delta, const std::shared_ptr<Tempo>& tempo) {
    auto& event = add(delta, 0xFF, EventKind::Meta, {0x07, 0xA1, 0x20}, tempo, kMetaTempo);
    tempo->event = track_->events.back();
    return event;
  }
  MidiEvent& timeSignature(int32_t delta, const std::shared_ptr<Tempo>& tempo) {
    return add(delta, 0xFF, EventKind::Meta, {4, 2, 24, 8}, tempo, kMetaTimeSignature);
  }
  MidiEvent& end(int32_t delta, const std::shared_ptr<Tempo>& tempo) {
    return add(delta, 0xFF, EventKind::Meta, {}, tempo, kMetaEndOfTrack);
  }

  // Layout tick of every event: the running sum of the deltas.
  std::vector<int64_t> ticks() const {
    std::vector<int64_t> result;
    int64_t tick = 0;
    for (const auto& event : track_->events) result.push_back(tick += event->delta);
    return result;
  }
  int64_t tickOf(const MidiEvent& event) const {
    int64_t tick = 0;
    for (const auto& e : track_->events) {
      tick += e->delta;
      if (e.get() == &event) return tick;
    }
    return -1;
  }
  int32_t smallestDelta() const {
    int32_t smallest = std::numeric_limits<int32_t>::max();
    for (const auto& event : track_->events) smallest = std::min(smallest, event->delta);
    return smallest;
  }

private:
  MidiEvent& add(int32_t delta, uint8_t status, EventKind kind, std::vector<uint8_t> data,
                 const std::shared_ptr<Tempo>& tempo, int32_t metaType = -1) {
    auto event = std::make_shared<MidiEvent>();
    event->track = track_.get();
    event->delta = delta;
    event->status = status;
    event->kind = kind;
    event->data = std::move(data);
    event->length = static_cast<int32_t>(event->data.size());
    event->metaType = metaType;
    event->tempo = tempo;
    event->index = static_cast<int32_t>(track_->events.size());
    track_->events.push_back(event);
    return *event;
  }

  std::shared_ptr<MidiTrack> track_;
};

}  // namespace rendlow::test
