#include "slicer/render_layout.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

#include "slicer/note.h"
#include "slicer/tick_arithmetic.h"

namespace rendlow {

namespace {

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
  explicit LayoutWalk(MidiTrack& track)
      : track_(track), events_(track.events), limits_(layoutLimits(events_.size())) {}

  // The layout, or nothing when the walk would pass its limits; then the tempo records are as
  // they were before the walk.
  std::optional<EventList> run() {
    for (std::size_t position = 0; position < events_.size();) {
      if (++steps_ > limits_.steps || layout_.size() > limits_.events) return giveUp();
      position = step(position);
    }
    if (layout_.size() > limits_.events) return giveUp();
    return std::move(layout_);
  }

private:
  // Handles the event at `position` and returns the position to go on from.
  std::size_t step(std::size_t position) {
    const MidiEvent& e = *events_[position];
    const int32_t delta = clampToInt32(int64_t{e.tick} - previousTick_);
    const auto note = e.note.lock();
    if (e.startsNote()) {
      if (!note || !note->firstOccurrence) return position + 1;
      if (!open_) {
        openSound(*note, position);
        emit(e, position, delta);
      } else if (inOpenSound(note.get())) {
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
    if (!e.endsNote() || inOpenSound(note.get())) emit(e, position, delta);
    return position + 1;
  }

  std::nullopt_t giveUp() {
    for (const auto& [tempo, followed] : followed_) tempo->event = followed.original;
    return std::nullopt;
  }

  void openSound(const Note& head, std::size_t position) {
    open_ = &head;
    openEnd_ = head.lastNoteOff().get();
    segmentStart_ = position;
    openMembers_.clear();
    for (const Note* n = &head; n; n = n->chainNext.get()) openMembers_.push_back(n);
    std::sort(openMembers_.begin(), openMembers_.end(), std::less<const Note*>{});
  }

  // Whether the note is the open sound's note or reached from it along the chain.
  bool inOpenSound(const Note* note) const {
    return open_ && note &&
           std::binary_search(openMembers_.begin(), openMembers_.end(), note, std::less<const Note*>{});
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
    if (tempo->event.get() == &e) {
      followed_.try_emplace(tempo.get(), Followed{&e, tempo->event});
    } else {
      const auto followed = followed_.find(tempo.get());
      if (followed == followed_.end() || followed->second.source != &e) return;
    }
    tempo->event = c;
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

  // A tempo record whose meta event the layout copied: the event it was copied from, and the
  // event the record led to before the walk.
  struct Followed {
    const MidiEvent* source = nullptr;
    std::shared_ptr<MidiEvent> original;
  };

  MidiTrack& track_;
  const EventList& events_;
  const LayoutLimits limits_;
  std::size_t steps_ = 0;
  const Note* open_ = nullptr;
  std::vector<const Note*> openMembers_;  // sorted by address
  const MidiEvent* openEnd_ = nullptr;    // the open sound's last note-off
  std::size_t segmentStart_ = 0;
  bool deferred_ = false;
  std::size_t resume_ = 0;
  int32_t previousTick_ = 0;
  int64_t outputTick_ = 0;
  EventList layout_;
  std::unordered_map<Tempo*, Followed> followed_;
};

}  // namespace

LayoutLimits layoutLimits(std::size_t events) {
  return {kLayoutStepsPerEvent * events + kLayoutStepsMargin,
          kLayoutEventsPerEvent * events + kLayoutEventsMargin};
}

std::optional<EventList> buildRenderLayout(MidiTrack& track) {
  std::optional<EventList> layout = LayoutWalk(track).run();
  if (!layout) return std::nullopt;
  track.originalEvents = std::move(track.events);
  track.events = *layout;
  return layout;
}

}  // namespace rendlow
