#include "slicer/render_layout.h"

#include <algorithm>
#include <unordered_map>

#include "base/integer_math.h"

namespace rendlow {

namespace {

// A control change that restores one controller before a sound starts, on the channel of the
// note-on it precedes: on another channel it would miss the note and change whatever plays there.
MidiEvent makePreset(int32_t number, int32_t value, int32_t tick, uint8_t channel) {
  MidiEvent preset;
  preset.tick = tick;
  preset.status = static_cast<uint8_t>(0xB0 | channel);
  preset.kind = EventKind::ControlChange;
  preset.length = 2;
  preset.head = {static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
  return preset;
}

// A copy of an event for the layout: the same event, without the bookkeeping of the events as
// read (their position and voice).
MidiEvent copyOf(const MidiEvent& e) {
  MidiEvent c = e;
  c.index = 0;
  c.voice = 0;
  return c;
}

// One walk over the events as extracted. A sound opens at the note-on of a first occurrence and
// closes at its chain's last note-off; a new sound met while one is open is postponed, and the
// walk comes back to the first postponed note-on once the open sound has closed.
class LayoutWalk {
public:
  LayoutWalk(const MidiTrack& track, int32_t trackIndex, const SlicedTrack& sliced,
             const TrackSettings& settings, const std::vector<Tempo>& tempos)
      : events_(track.events),
        trackIndex_(trackIndex),
        sliced_(sliced),
        settings_(settings),
        tempos_(tempos),
        limits_(layoutLimits(events_.size())) {}

  // The layout, or false when the walk would pass its limits.
  bool run() {
    for (std::size_t position = 0; position < events_.size();) {
      if (++steps_ > limits_.steps || layout_.size() > limits_.events) return false;
      position = step(position);
    }
    return layout_.size() <= limits_.events;
  }

  EventList& layout() { return layout_; }
  // The layout position of the last copy of each tempo change's event that this track holds.
  const std::unordered_map<int32_t, int32_t>& followedTempos() const { return followed_; }

private:
  const Note* noteOf(const MidiEvent& e) const {
    return e.note == kNone ? nullptr : &sliced_.notes[static_cast<std::size_t>(e.note)];
  }

  // Handles the event at `position` and returns the position to go on from.
  std::size_t step(std::size_t position) {
    const MidiEvent& e = events_[position];
    const int32_t delta = clampToInt32(int64_t{e.tick} - previousTick_);
    if (e.startsNote()) {
      const Note* note = noteOf(e);
      if (!note || !note->firstOccurrence) return position + 1;
      if (open_ == kNone) {
        openSound(e.note, position);
        emit(e, position, delta);
      } else if (inOpenSound(e.note)) {
        emit(e, position, delta);
      } else if (!deferred_) {
        deferred_ = true;
        resume_ = position;
      }
      return position + 1;
    }
    if (open_ != kNone && std::cmp_equal(position, openEnd_)) {
      open_ = kNone;
      segmentStart_ = 0;
      if (deferred_) return closeAndGoBack(e, delta);
      emit(e, position, delta);
      return position + 1;
    }
    if (!e.endsNote() || inOpenSound(e.note)) emit(e, position, delta);
    return position + 1;
  }

  void openSound(int32_t head, std::size_t position) {
    open_ = head;
    openEnd_ = lastNoteOff(sliced_.notes, head);
    segmentStart_ = position;
    openMembers_.clear();
    for (int32_t n = head; n != kNone; n = sliced_.notes[static_cast<std::size_t>(n)].chainNext)
      openMembers_.push_back(n);
    std::sort(openMembers_.begin(), openMembers_.end());
  }

  // Whether the note is the open sound's note or reached from it along the chain.
  bool inOpenSound(int32_t note) const {
    return open_ != kNone && note != kNone &&
           std::binary_search(openMembers_.begin(), openMembers_.end(), note);
  }

  std::size_t closeAndGoBack(const MidiEvent& e, int32_t delta) {
    MidiEvent& c = layout_.emplace_back(copyOf(e));
    c.delta = delta;
    outputTick_ += delta;
    c.tick = clampToInt32(outputTick_);
    deferred_ = false;
    previousTick_ = events_[resume_].tick;
    return resume_;
  }

  void emit(const MidiEvent& e, std::size_t position, int32_t delta) {
    MidiEvent c = copyOf(e);
    // An event that counts as content keeps its distance from what came before even when no
    // sound is open.
    const bool soundStart = position == segmentStart_ && e.countsAsContent();
    if (soundStart) {
      c.delta = settings_.noteInterval;
    } else if (open_ != kNone) {
      c.delta = delta;
    } else {
      c.delta = e.endsNote() || e.countsAsContent() ? delta : 0;
    }
    outputTick_ += c.delta;
    c.tick = clampToInt32(outputTick_);
    if (soundStart) addPresets(e, c);
    followTempo(e, position);
    layout_.push_back(c);
    previousTick_ = e.tick;
  }

  // The tempo record of a copied Set Tempo event follows the copy; when a postponed stretch
  // copies the event again, the record moves to the newer copy.
  void followTempo(const MidiEvent& e, std::size_t position) {
    if (e.tempo == kNone) return;
    const Tempo& tempo = tempos_[static_cast<std::size_t>(e.tempo)];
    if (tempo.track == trackIndex_ && std::cmp_equal(tempo.event, position))
      followed_[e.tempo] = static_cast<int32_t>(layout_.size());
  }

  // Restores the controller values the sound started with, at the sound's start: the first
  // preset takes the gap, the note-on follows at the same tick.
  void addPresets(const MidiEvent& e, MidiEvent& c) {
    const Note* note = noteOf(e);
    const std::span<const int32_t> state = note ? sliced_.controlState(*note) : std::span<const int32_t>();
    if (state.empty()) return;
    for (std::size_t i = 0; i < state.size(); ++i) {
      MidiEvent& preset =
          layout_.emplace_back(makePreset(sliced_.controllerNumbers[i], state[i], c.tick, e.status & 0x0F));
      preset.delta = i == 0 ? c.delta : 0;
    }
    c.delta = 0;
  }

  const EventList& events_;
  const int32_t trackIndex_;
  const SlicedTrack& sliced_;
  const TrackSettings& settings_;
  const std::vector<Tempo>& tempos_;
  const LayoutLimits limits_;
  std::size_t steps_ = 0;
  int32_t open_ = kNone;              // the open sound's head note
  std::vector<int32_t> openMembers_;  // its chain's notes, sorted
  int32_t openEnd_ = kNone;           // position of its last note-off
  std::size_t segmentStart_ = 0;
  bool deferred_ = false;
  std::size_t resume_ = 0;
  int32_t previousTick_ = 0;
  int64_t outputTick_ = 0;
  EventList layout_;
  std::unordered_map<int32_t, int32_t> followed_;  // tempo index → layout position
};

}  // namespace

LayoutLimits layoutLimits(std::size_t events) {
  return {kLayoutStepsPerEvent * events + kLayoutStepsMargin,
          kLayoutEventsPerEvent * events + kLayoutEventsMargin};
}

bool buildRenderLayout(MidiTrack& track, int32_t trackIndex, const SlicedTrack& sliced,
                       const TrackSettings& settings, std::vector<Tempo>& tempos) {
  LayoutWalk walk(track, trackIndex, sliced, settings, tempos);
  if (!walk.run()) return false;
  for (const auto& [tempo, position] : walk.followedTempos())
    tempos[static_cast<std::size_t>(tempo)].event = position;
  track.originalEvents = std::move(track.events);
  track.events = std::move(walk.layout());
  return true;
}

}  // namespace rendlow
