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

// One alignLayout call. Ticks are held in 64 bits so that an overflow is seen before any
// 32-bit field takes a value it cannot hold.
class LayoutAligner {
public:
  LayoutAligner(MidiTrack& track, bool temposOnly) : track_(track), temposOnly_(temposOnly) {}

  AlignOutcome run() {
    for (const auto& event : track_.events) {
      if (!alignEvent(*event)) return AlignOutcome::Overflow;
    }
    return stable_ ? AlignOutcome::Stable : AlignOutcome::Moved;
  }

private:
  bool alignEvent(MidiEvent& e) {
    const int64_t cur = run_ + e.delta;
    if (!fitsTick(cur)) return false;
    const std::shared_ptr<Tempo> tempo = e.tempo.lock();
    if (previousTempo_ && tempo && previousTempo_ != tempo) {
      sectionPush_ = 0;
      sectionStart_ = cur;
    }
    int64_t newTick = cur;
    if (!temposOnly_ && e.startsNote()) {
      if (!alignSoundStart(e, cur, tempo.get(), newTick) || !moveTo(e, newTick)) return false;
      lastNoteOn_ = newTick;
    } else if (e.isMeta(kMetaTempo) && tempo) {
      newTick = alignTempoChange(*tempo);
      if (!moveTo(e, newTick)) return false;
      tempo->tick = static_cast<int32_t>(newTick);
    }
    run_ = newTick;
    // Events without a tempo (controller presets) neither begin nor end a section: letting them
    // through would hide a boundary and fold the previous section into this one's need.
    if (tempo) previousTempo_ = tempo;
    return true;
  }

  // Places a sound start or tempo change at `newTick`; the delta carries the move to every later
  // event of the track.
  bool moveTo(MidiEvent& e, int64_t newTick) {
    if (!fitsTick(newTick) || !fitsTick(newTick - run_)) return false;
    e.tick = static_cast<int32_t>(newTick);
    e.delta = static_cast<int32_t>(newTick - run_);
    return true;
  }

  // A sound head goes onto the grid, never before the event that precedes it, and at least
  // kTempoClearance after its tempo change; the room it needs is recorded on the tempo.
  bool alignSoundStart(const MidiEvent& e, int64_t cur, Tempo* tempo, int64_t& newTick) {
    const std::shared_ptr<Note> note = e.note.lock();
    if (!note || !note->isHead()) return true;
    const TrackSettings& settings = track_.settings;
    if (settings.gridUnit > 0 && cur % settings.gridUnit > 0) {
      int64_t base = cur - lastNoteOn_ <= settings.noteInterval ? cur : lastNoteOn_ + settings.noteInterval;
      base = std::max(base, run_);
      newTick = roundUpTo(base, settings.gridUnit);
    }
    if (!tempo) return true;
    const int64_t clearance = int64_t{tempo->tick} + kTempoClearance;
    if (newTick < clearance) {
      sectionPush_ += clearance - newTick;
      newTick = clearance;
    }
    const int64_t need =
        int64_t{settings.noteInterval} + note->duration + newTick - sectionStart_ - sectionPush_;
    if (!fitsTick(newTick) || !fitsTick(sectionPush_) || !fitsTick(need)) return false;
    if (need > tempo->extent) tempo->extent = static_cast<int32_t>(need);
    return true;
  }

  // The tempo change follows the previous one by the room its section was granted, and never
  // comes before the event that precedes it.
  int64_t alignTempoChange(const Tempo& tempo) {
    int64_t newTick = tempo.tick;
    if (previousTempo_) {
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

  MidiTrack& track_;
  const bool temposOnly_;
  int64_t run_ = 0;
  std::shared_ptr<Tempo> previousTempo_;
  int64_t sectionStart_ = 0;
  int64_t sectionPush_ = 0;
  int64_t lastNoteOn_ = 0;
  bool stable_ = true;
};

using TrackDeltas = std::vector<std::vector<int32_t>>;

TrackDeltas rememberDeltas(const TrackList& tracks) {
  TrackDeltas deltas;
  deltas.reserve(tracks.size());
  for (const auto& track : tracks) {
    auto& saved = deltas.emplace_back();
    saved.reserve(track->events.size());
    for (const auto& event : track->events) saved.push_back(event->delta);
  }
  return deltas;
}

void restoreDeltas(const TrackList& tracks, const TrackDeltas& deltas) {
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    const EventList& events = tracks[t]->events;
    for (std::size_t i = 0; i < events.size(); ++i) events[i]->delta = deltas[t][i];
  }
}

bool shiftTempos(const TempoList& tempos) {
  for (const auto& tempo : tempos) {
    const int64_t shifted = int64_t{tempo->tick} + tempo->shift;
    if (!fitsTick(shifted)) return false;
    tempo->shiftedTick = static_cast<int32_t>(shifted);
    if (tempo->shift < 0) tempo->shift = 0;
  }
  return true;
}

// One cycle: every enabled track in full mode, then every track for its tempo changes.
AlignOutcome runCycle(const TrackList& tracks) {
  bool stable = true;
  for (const auto& track : tracks) {
    if (!track->settings.enabled) continue;
    const AlignOutcome outcome = alignLayout(*track, false);
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  for (const auto& track : tracks) {
    const AlignOutcome outcome = alignLayout(*track, true);
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  return stable ? AlignOutcome::Stable : AlignOutcome::Moved;
}

}  // namespace

AlignOutcome alignLayout(MidiTrack& track, bool temposOnly) {
  return LayoutAligner(track, temposOnly).run();
}

SettleReport settleLayout(Project& project, Diagnostics& diagnostics, int32_t maxCycles) {
  // Every cycle starts from the layouts as built: a push left in a delta would be counted again
  // in its section's need by the next cycle, and the sections would grow without end.
  const TrackDeltas built = rememberDeltas(project.tracks);
  for (int32_t cycle = 1; cycle <= maxCycles; ++cycle) {
    restoreDeltas(project.tracks, built);
    const AlignOutcome outcome =
        shiftTempos(project.tempos) ? runCycle(project.tracks) : AlignOutcome::Overflow;
    if (outcome == AlignOutcome::Stable) return {cycle, SettleReport::Ending::Settled};
    if (outcome == AlignOutcome::Overflow) {
      // A pass stopped half way; the layouts as built are the last deltas known to be whole.
      restoreDeltas(project.tracks, built);
      diagnostics.print("Re-timing stopped in cycle %d: a tick would pass 2147483647\n", cycle);
      return {cycle, SettleReport::Ending::Overflow};
    }
  }
  diagnostics.print("Re-timing stopped after %d cycles without settling\n", maxCycles);
  return {maxCycles, SettleReport::Ending::CycleLimit};
}

}  // namespace rendlow
