#include "slicer/render_layout.h"

#include <algorithm>
#include <unordered_map>

#include "base/integer_math.h"
#include "base/messages.h"

namespace rendlow {

namespace {

// A control change that restores one controller before a sound starts, on the channel of the
// note-on it precedes: on another channel it would miss the note and change whatever plays there.
EventContent makePreset(int32_t number, int32_t value, uint8_t channel) {
  EventContent preset;
  preset.status = static_cast<uint8_t>(0xB0 | channel);
  preset.kind = EventKind::ControlChange;
  preset.length = 2;
  preset.head = {static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
  return preset;
}

// One walk over the events as extracted. A sound opens at the note-on of a first occurrence and
// closes at its chain's last note-off; a new sound met while one is open is postponed, and the
// walk comes back to the first postponed note-on once the open sound has closed.
class LayoutWalk {
public:
  LayoutWalk(const MidiTrack& track, const SlicedTrack& sliced, int32_t trackIndex, const TrackSettings& settings,
             std::span<const Tempo> tempos)
      : events_(track.events, sliced),
        trackIndex_(trackIndex),
        sliced_(sliced),
        settings_(settings),
        tempos_(tempos),
        limits_(layoutLimits(events_.size())) {}

  // The layout, or false when the walk would pass its limits.
  bool run() {
    for (std::size_t position = 0; position < events_.size();) {
      if (++steps_ > limits_.steps || layout_.events.size() > limits_.events) return false;
      position = step(position);
    }
    return layout_.events.size() <= limits_.events;
  }

  LaidOutTrack finish() {
    layout_.tempoCopies.assign(followed_.begin(), followed_.end());
    return std::move(layout_);
  }

private:
  int32_t noteAt(std::size_t position) const { return sliced_.noteOfEvent[position]; }
  const Note* noteOf(std::size_t position) const {
    const int32_t note = noteAt(position);
    return note == kNone ? nullptr : &sliced_.notes[static_cast<std::size_t>(note)];
  }

  // Handles the event at `position` and returns the position to go on from.
  std::size_t step(std::size_t position) {
    const MidiEvent& e = events_[position];
    const int32_t delta = clampToInt32(int64_t{e.tick} - previousTick_);
    if (e.startsNote()) {
      const Note* note = noteOf(position);
      if (!note || !note->firstOccurrence) return position + 1;
      if (open_ == kNone) {
        openSound(noteAt(position), position);
        emit(e, position, delta);
      } else if (inOpenSound(noteAt(position))) {
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
      if (deferred_) return closeAndGoBack(e, position, delta);
      emit(e, position, delta);
      return position + 1;
    }
    if (!e.endsNote() || inOpenSound(noteAt(position))) emit(e, position, delta);
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

  std::size_t closeAndGoBack(const MidiEvent& e, std::size_t position, int32_t delta) {
    outputTick_ += delta;
    layout_.append(e, outputTick_, e.tempo, noteAt(position));
    deferred_ = false;
    previousTick_ = events_[resume_].tick;
    return resume_;
  }

  void emit(const MidiEvent& e, std::size_t position, int32_t delta) {
    // An event that counts as content keeps its distance from what came before even when no
    // sound is open.
    const bool soundStart = position == segmentStart_ && e.countsAsContent();
    if (soundStart) {
      outputTick_ += settings_.noteInterval;
      addPresets(position, e.status);
    } else if (open_ != kNone || e.endsNote() || e.countsAsContent()) {
      outputTick_ += delta;  // with no sound open, anything else stays where the layout stands
    }
    followTempo(e, position);
    layout_.append(e, outputTick_, e.tempo, noteAt(position));
    previousTick_ = e.tick;
  }

  // The tempo record of a copied Set Tempo event follows the copy; when a postponed stretch
  // copies the event again, the record moves to the newer copy.
  void followTempo(const MidiEvent& e, std::size_t position) {
    if (e.tempo == kNone) return;
    const Tempo& tempo = tempos_[static_cast<std::size_t>(e.tempo)];
    if (tempo.track == trackIndex_ && std::cmp_equal(tempo.event, position))
      followed_[e.tempo] = static_cast<int32_t>(layout_.events.size());
  }

  // Restores the controller values the sound started with, at the sound's start, on the channel
  // of its note-on, which follows them at the same tick.
  void addPresets(std::size_t position, uint8_t status) {
    const Note* note = noteOf(position);
    const std::span<const int32_t> state = note ? sliced_.controlState(*note) : std::span<const int32_t>();
    for (std::size_t i = 0; i < state.size(); ++i)
      layout_.append(makePreset(sliced_.controllerNumbers[i], state[i], status & 0x0F), outputTick_, kNone, kNone);
  }

  const SlicedEvents events_;
  const int32_t trackIndex_;
  const SlicedTrack& sliced_;
  const TrackSettings& settings_;
  std::span<const Tempo> tempos_;
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
  LaidOutTrack layout_;
  std::unordered_map<int32_t, int32_t> followed_;  // tempo index → layout position
};

}  // namespace

LayoutLimits layoutLimits(std::size_t events) {
  return {kLayoutStepsPerEvent * events + kLayoutStepsMargin,
          kLayoutEventsPerEvent * events + kLayoutEventsMargin};
}

void LaidOutTrack::append(const EventContent& content, int64_t tick, int32_t tempo, int32_t note) {
  TimedEvent& event = events.emplace_back();
  static_cast<EventContent&>(event) = content;
  event.tick = tick;
  tempoOfEvent.push_back(tempo);
  noteOfEvent.push_back(note);
}

Result<LaidOutTrack> layOutTrack(const MidiTrack& track, const SlicedTrack& sliced, int32_t trackIndex,
                                        const TrackSettings& settings, std::span<const Tempo> tempos) {
  LayoutWalk walk(track, sliced, trackIndex, settings, tempos);
  if (!walk.run()) return Problem{trackTooComplexReason()};
  return walk.finish();
}

LaidOutTrack trackAsRead(const MidiTrack& track) {
  LaidOutTrack laidOut;
  laidOut.events.reserve(track.events.size());
  for (const MidiEvent& event : track.events) laidOut.append(event, event.tick, event.tempo, kNone);
  return laidOut;
}

}  // namespace rendlow
