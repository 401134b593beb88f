#include "midi/layout_retiming.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "core/project.h"
#include "slicer/note.h"

namespace rendlow {

namespace {

bool fitsTick(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// The smallest multiple of `unit` at or above `value` (unit above 0).
int64_t roundUpTo(int64_t value, int64_t unit) {
  int64_t multiples = value / unit;
  if (value % unit > 0) ++multiples;
  return multiples * unit;
}

// One layout event as the re-timing reads it. The links are resolved once per settling rather
// than once per event per cycle (the tempo records stay alive for the whole of it), and the
// event itself is touched again only when the result is written back.
struct Step {
  MidiEvent* event = nullptr;
  Tempo* tempo = nullptr;   // the live tempo record of the event, or none
  int32_t delta = 0;        // as the current cycle has it
  int32_t builtDelta = 0;   // as the layout was built
  int32_t tick = 0;         // where the re-timing placed a sound start or tempo change
  int32_t duration = 0;     // of a sound head's note
  bool startsNote = false;  // a note-on with velocity
  bool soundHead = false;   // ... whose live note heads its chain
  bool changesTempo = false;
  bool placed = false;  // `tick` holds a place to write back
};

// A track's layout as steps, with the way back to its events.
class TrackLayout {
public:
  explicit TrackLayout(MidiTrack& track) : track_(track) {
    steps_.reserve(track.events.size());
    for (const auto& event : track.events) {
      Step& step = steps_.emplace_back();
      step.event = event.get();
      step.tempo = event->tempo.lock().get();
      step.startsNote = event->startsNote();
      const std::shared_ptr<Note> note = step.startsNote ? event->note.lock() : nullptr;
      step.soundHead = note && note->isHead();
      step.duration = step.soundHead ? note->duration : 0;
      // A postponed stretch can copy a Set Tempo event into the layout twice; only the copy its
      // record follows is that tempo change. An earlier copy moving the record as well would make
      // the record follow itself, asking for more room every cycle.
      step.changesTempo = event->isMeta(kMetaTempo) && step.tempo && step.tempo->event == event;
      step.delta = step.builtDelta = event->delta;
      hasTempoChanges_ = hasTempoChanges_ || step.changesTempo;
    }
  }

  const MidiTrack& track() const { return track_; }
  bool hasTempoChanges() const { return hasTempoChanges_; }
  std::vector<Step>& steps() { return steps_; }

  void restoreBuiltDeltas() {
    for (Step& step : steps_) step.delta = step.builtDelta;
  }
  void writeBack() const {
    for (const Step& step : steps_) {
      step.event->delta = step.delta;
      if (step.placed) step.event->tick = step.tick;
    }
  }

private:
  MidiTrack& track_;
  std::vector<Step> steps_;
  bool hasTempoChanges_ = false;
};

// One alignLayout pass. Ticks are held in 64 bits so that an overflow is seen before any 32-bit
// field takes a value it cannot hold.
class LayoutAligner {
public:
  LayoutAligner(TrackLayout& layout, bool temposOnly) : layout_(layout), temposOnly_(temposOnly) {}

  AlignOutcome run() {
    for (Step& step : layout_.steps()) {
      if (!alignStep(step)) return AlignOutcome::Overflow;
    }
    return stable_ ? AlignOutcome::Stable : AlignOutcome::Moved;
  }

private:
  bool alignStep(Step& step) {
    const int64_t cur = run_ + step.delta;
    if (!fitsTick(cur)) return false;
    if (previousTempo_ && step.tempo && previousTempo_ != step.tempo) {
      sectionPush_ = 0;
      sectionStart_ = cur;
    }
    int64_t newTick = cur;
    if (!temposOnly_ && step.startsNote) {
      if (!alignSoundStart(step, cur, newTick) || !moveTo(step, newTick)) return false;
      lastNoteOn_ = newTick;
    } else if (step.changesTempo) {
      newTick = alignTempoChange(*step.tempo);
      if (!moveTo(step, newTick)) return false;
      step.tempo->tick = static_cast<int32_t>(newTick);
    }
    run_ = newTick;
    // Events without a tempo (controller presets) neither begin nor end a section: letting them
    // through would hide a boundary and fold the previous section into this one's need.
    if (step.tempo) previousTempo_ = step.tempo;
    return true;
  }

  // Places a sound start or tempo change at `newTick`; the delta carries the move to every later
  // event of the track.
  bool moveTo(Step& step, int64_t newTick) {
    if (!fitsTick(newTick) || !fitsTick(newTick - run_)) return false;
    step.tick = static_cast<int32_t>(newTick);
    step.placed = true;
    step.delta = static_cast<int32_t>(newTick - run_);
    return true;
  }

  // A sound head goes onto the grid, never before the event that precedes it, and at least
  // kTempoClearance after its tempo change; the room it needs is recorded on the tempo.
  bool alignSoundStart(const Step& step, int64_t cur, int64_t& newTick) {
    if (!step.soundHead) return true;
    const TrackSettings& settings = layout_.track().settings;
    if (settings.gridUnit > 0 && cur % settings.gridUnit > 0) {
      int64_t base = cur - lastNoteOn_ <= settings.noteInterval ? cur : lastNoteOn_ + settings.noteInterval;
      base = std::max(base, run_);
      newTick = roundUpTo(base, settings.gridUnit);
    }
    Tempo* tempo = step.tempo;
    if (!tempo) return true;
    const int64_t clearance = int64_t{tempo->tick} + kTempoClearance;
    if (newTick < clearance) {
      sectionPush_ += clearance - newTick;
      newTick = clearance;
    }
    const int64_t need =
        int64_t{settings.noteInterval} + step.duration + newTick - sectionStart_ - sectionPush_;
    if (!fitsTick(newTick) || !fitsTick(sectionPush_) || !fitsTick(need)) return false;
    if (need > tempo->extent) tempo->extent = static_cast<int32_t>(need);
    return true;
  }

  // The tempo change follows the previous one by the room its section was granted, and never
  // comes before the event that precedes it. A change never follows itself: after a postponed
  // stretch, the events before its one real copy can still carry its own record.
  int64_t alignTempoChange(const Tempo& tempo) {
    int64_t newTick = tempo.tick;
    if (previousTempo_ && previousTempo_ != &tempo) {
      Tempo& previous = *previousTempo_;
      if (int64_t{previous.tick} + previous.shift > tempo.tick) {
        newTick = int64_t{previous.tick} + previous.shift;
        stable_ = false;
      }
      if (previous.shift < previous.extent) {
        newTick = int64_t{previous.tick} + previous.extent;
        previous.shift = previous.extent;
        stable_ = false;
      }
    }
    if (newTick < run_) {
      newTick = run_;
      stable_ = false;
    }
    return newTick;
  }

  TrackLayout& layout_;
  const bool temposOnly_;
  int64_t run_ = 0;
  Tempo* previousTempo_ = nullptr;
  int64_t sectionStart_ = 0;
  int64_t sectionPush_ = 0;
  int64_t lastNoteOn_ = 0;
  bool stable_ = true;
};

bool shiftTempos(const TempoList& tempos) {
  for (const auto& tempo : tempos) {
    const int64_t shifted = int64_t{tempo->tick} + tempo->shift;
    if (!fitsTick(shifted)) return false;
    tempo->shiftedTick = static_cast<int32_t>(shifted);
    if (tempo->shift < 0) tempo->shift = 0;
  }
  return true;
}

// One cycle: every enabled track in full mode, then every track for its tempo changes. Each
// cycle starts from the layouts as built: a push left in a delta would be counted again in its
// section's need by the next cycle, and the sections would grow without end.
AlignOutcome runCycle(std::vector<TrackLayout>& layouts) {
  bool stable = true;
  for (TrackLayout& layout : layouts) layout.restoreBuiltDeltas();
  for (TrackLayout& layout : layouts) {
    if (!layout.track().settings.enabled) continue;
    const AlignOutcome outcome = LayoutAligner(layout, false).run();
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  // A track without tempo changes has nothing to move in this pass, and the sums it would add
  // up were checked by the pass before (or are the song's own ticks, for a disabled track).
  for (TrackLayout& layout : layouts) {
    if (!layout.hasTempoChanges()) continue;
    const AlignOutcome outcome = LayoutAligner(layout, true).run();
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  return stable ? AlignOutcome::Stable : AlignOutcome::Moved;
}

}  // namespace

AlignOutcome alignLayout(MidiTrack& track, bool temposOnly) {
  TrackLayout layout(track);
  const AlignOutcome outcome = LayoutAligner(layout, temposOnly).run();
  if (outcome != AlignOutcome::Overflow) layout.writeBack();
  return outcome;
}

SettleReport settleLayout(Project& project, Diagnostics& diagnostics, int32_t maxCycles) {
  std::vector<TrackLayout> layouts;
  layouts.reserve(project.tracks.size());
  for (const auto& track : project.tracks) layouts.emplace_back(*track);
  const auto finish = [&](int32_t cycles, SettleReport::Ending ending) {
    for (TrackLayout& layout : layouts) layout.writeBack();
    return SettleReport{cycles, ending};
  };
  for (int32_t cycle = 1; cycle <= maxCycles; ++cycle) {
    const AlignOutcome outcome = shiftTempos(project.tempos) ? runCycle(layouts) : AlignOutcome::Overflow;
    if (outcome == AlignOutcome::Stable) return finish(cycle, SettleReport::Ending::Settled);
    if (outcome == AlignOutcome::Overflow) {
      // A pass stopped half way; the layouts as built are the last deltas known to be whole.
      for (TrackLayout& layout : layouts) layout.restoreBuiltDeltas();
      diagnostics.print("Re-timing stopped in cycle %d: a tick would pass 2147483647\n", cycle);
      return finish(cycle, SettleReport::Ending::Overflow);
    }
  }
  diagnostics.print("Re-timing stopped after %d cycles without settling\n", maxCycles);
  return finish(maxCycles, SettleReport::Ending::CycleLimit);
}

}  // namespace rendlow
