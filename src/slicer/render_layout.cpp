#include "slicer/render_layout.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "slicer/chain_table.h"
#include "slicer/note.h"

namespace rendlow {

namespace {

int32_t clampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

bool isTempoOrTimeSignature(const MidiEvent& e) {
  return e.metaType == kMetaTempo || e.metaType == kMetaTimeSignature;
}

// Events that keep their distance from what came before even when no sound is open: channel
// and system-exclusive events after the song's start, tempo changes and time signatures.
bool keepsItsDistance(const MidiEvent& e) {
  return (e.kind != EventKind::Meta && e.tick > 0) || isTempoOrTimeSignature(e);
}

// A control change on the first channel that restores one controller before a sound starts.
std::shared_ptr<MidiEvent> makePreset(MidiTrack& track, int32_t number, int32_t value, int32_t tick) {
  auto preset = std::make_shared<MidiEvent>();
  preset->track = &track;
  preset->tick = tick;
  preset->status = 0xB0;
  preset->kind = EventKind::ControlChange;
  preset->length = 2;
  preset->data = {static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
  return preset;
}

// One walk over the events as extracted. A sound opens at the note-on of a first occurrence and
// closes at its chain's last note-off; a new sound met while one is open is postponed, and the
// walk comes back to the first postponed note-on once the open sound has closed.
class LayoutWalk {
public:
  explicit LayoutWalk(MidiTrack& track) : track_(track), events_(track.events), chains_(track.notes) {}

  EventList run() {
    for (std::size_t position = 0; position < events_.size();) position = step(position);
    return std::move(layout_);
  }

private:
  // Handles the event at `position` and returns the position to go on from.
  std::size_t step(std::size_t position) {
    const MidiEvent& e = *events_[position];
    const int32_t delta = clampToInt32(int64_t{e.tick} - previousTick_);
    const auto note = e.note.lock();
    const bool inSound = note && open_ && chains_.reaches(open_, note.get());
    if (e.startsNote()) {
      if (!note || !note->firstOccurrence) return position + 1;
      if (!open_) {
        open_ = note.get();
        openEnd_ = note->lastNoteOff().get();
        segmentStart_ = position;
        emit(e, position, delta);
      } else if (inSound) {
        emit(e, position, delta);
      } else if (!deferred_) {
        deferred_ = true;
        resume_ = position;
      }
      return position + 1;
    }
    if (open_ && &e == openEnd_) {
      open_ = nullptr;
      segmentStart_ = 0;
      if (deferred_) return closeAndGoBack(e, delta);
      emit(e, position, delta);
      return position + 1;
    }
    if (!(e.endsNote() && !inSound)) emit(e, position, delta);
    return position + 1;
  }

  std::size_t closeAndGoBack(const MidiEvent& e, int32_t delta) {
    auto c = e.copy();
    c->delta = delta;
    outputTick_ += delta;
    c->tick = clampToInt32(outputTick_);
    layout_.push_back(std::move(c));
    deferred_ = false;
    previousTick_ = events_[resume_]->tick;
    return resume_;
  }

  void emit(const MidiEvent& e, std::size_t position, int32_t delta) {
    auto c = e.copy();
    const bool soundStart = position == segmentStart_ && keepsItsDistance(e);
    if (soundStart) {
      c->delta = track_.settings.noteInterval;
    } else if (open_) {
      c->delta = delta;
    } else {
      c->delta = e.endsNote() || keepsItsDistance(e) ? delta : 0;
    }
    followTempo(e, c);
    outputTick_ += c->delta;
    c->tick = clampToInt32(outputTick_);
    if (soundStart) addPresets(e, *c);
    layout_.push_back(std::move(c));
    previousTick_ = e.tick;
  }

  // The tempo record of a copied Set Tempo event follows the copy; when a postponed stretch
  // copies the event again, the record moves to the newer copy.
  void followTempo(const MidiEvent& e, const std::shared_ptr<MidiEvent>& c) {
    const auto tempo = c->tempo.lock();
    if (!tempo) return;
    const auto copied = copiedFrom_.find(tempo.get());
    const bool fromThisEvent = tempo->event.get() == &e || (copied != copiedFrom_.end() && copied->second == &e);
    if (!fromThisEvent) return;
    tempo->event = c;
    copiedFrom_[tempo.get()] = &e;
  }

  // Restores the controller values the sound started with, at the sound's start: the first
  // preset takes the gap, the note-on follows at the same tick.
  void addPresets(const MidiEvent& e, MidiEvent& c) {
    const auto note = e.note.lock();
    if (!note || note->controlState.empty()) return;
    bool first = true;
    for (const auto& [number, value] : note->controlState) {
      auto preset = makePreset(track_, number, value, c.tick);
      preset->delta = first ? c.delta : 0;
      first = false;
      preset->prev = c.prev;
      preset->next = &c;
      c.prev = preset.get();
      layout_.push_back(std::move(preset));
    }
    c.delta = 0;
  }

  MidiTrack& track_;
  const EventList& events_;
  ChainTable chains_;
  const Note* open_ = nullptr;
  const MidiEvent* openEnd_ = nullptr;  // the open sound's last note-off
  std::size_t segmentStart_ = 0;
  bool deferred_ = false;
  std::size_t resume_ = 0;
  int32_t previousTick_ = 0;
  int64_t outputTick_ = 0;
  EventList layout_;
  std::unordered_map<const Tempo*, const MidiEvent*> copiedFrom_;
};

}  // namespace

EventList buildRenderLayout(MidiTrack& track) {
  EventList layout = LayoutWalk(track).run();
  track.originalEvents = std::move(track.events);
  track.events = layout;
  return layout;
}

}  // namespace rendlow
