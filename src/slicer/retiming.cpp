#include "slicer/retiming.h"

#include <algorithm>
#include <vector>

#include "base/integer_math.h"

namespace rendlow {

namespace {

enum class AlignOutcome {
  Stable,    // no tempo change moved
  Moved,     // a tempo change moved, or a section asked for more room
  Overflow,  // a tick would pass 2^31 - 1; the pass stopped where it was
};

// One layout event as the re-timing reads it. What it needs of the event, its note and its
// tempo change is looked up once per settling rather than once per event per cycle, and the
// event itself is touched again only when the result is written back.
struct Step {
  int32_t tempo = kNone;    // the event's tempo change
  int32_t delta = 0;        // as the current cycle has it
  int32_t builtDelta = 0;   // as the layout was built
  int32_t duration = 0;     // of a sound head's note
  bool startsNote = false;  // a note-on with velocity
  bool soundHead = false;   // ... whose note heads its chain
  bool changesTempo = false;
};

// A track's layout as steps, with the way back to its events.
class TrackLayout {
public:
  TrackLayout(LaidOutTrack& track, int32_t trackIndex, const SlicedTrack& sliced, const TrackSettings& settings,
              const std::vector<RetimedTempo>& tempos)
      : track_(track), settings_(settings) {
    steps_.reserve(track.events.size());
    int64_t previousTick = 0;
    for (std::size_t position = 0; position < track.events.size(); ++position) {
      const TimedEvent& event = track.events[position];
      const int32_t tempo = track.tempoOfEvent[position];
      const int32_t noteIndex = track.noteOfEvent[position];
      Step& step = steps_.emplace_back();
      step.tempo = tempo;
      step.startsNote = event.startsNote();
      const Note* note = step.startsNote && noteIndex != kNone && std::cmp_less(noteIndex, sliced.notes.size())
                             ? &sliced.notes[static_cast<std::size_t>(noteIndex)]
                             : nullptr;
      step.soundHead = note && note->isHead();
      step.duration = step.soundHead ? note->duration : 0;
      // A postponed stretch can copy a Set Tempo event into the layout twice; only the copy its
      // record follows is that tempo change. An earlier copy moving the record as well would make
      // the record follow itself, asking for more room every cycle.
      if (event.isMeta(kMetaTempo) && tempo != kNone) {
        const RetimedTempo& record = tempos[static_cast<std::size_t>(tempo)];
        step.changesTempo = record.track == trackIndex && std::cmp_equal(record.event, position);
      }
      // Each distance was one step of the layout as it was built, so it fits.
      step.delta = step.builtDelta = static_cast<int32_t>(event.tick - previousTick);
      previousTick = event.tick;
      hasTempoChanges_ = hasTempoChanges_ || step.changesTempo;
    }
  }

  const TrackSettings& settings() const { return settings_; }
  bool hasTempoChanges() const { return hasTempoChanges_; }
  std::vector<Step>& steps() { return steps_; }

  void restoreBuiltDeltas() {
    for (Step& step : steps_) step.delta = step.builtDelta;
  }
  void writeBack() const {
    int64_t tick = 0;
    for (std::size_t i = 0; i < steps_.size(); ++i) track_.events[i].tick = tick += steps_[i].delta;
  }

private:
  LaidOutTrack& track_;
  const TrackSettings& settings_;
  std::vector<Step> steps_;
  bool hasTempoChanges_ = false;
};

// One pass over a track's layout. Ticks are held in 64 bits so that an overflow is seen before
// any 32-bit field takes a value it cannot hold.
class LayoutAligner {
public:
  LayoutAligner(TrackLayout& layout, std::vector<RetimedTempo>& tempos, bool temposOnly)
      : layout_(layout), tempos_(tempos), temposOnly_(temposOnly) {}

  AlignOutcome run() {
    for (Step& step : layout_.steps()) {
      if (!alignStep(step)) return AlignOutcome::Overflow;
    }
    return stable_ ? AlignOutcome::Stable : AlignOutcome::Moved;
  }

private:
  RetimedTempo* tempoOf(const Step& step) {
    return step.tempo == kNone ? nullptr : &tempos_[static_cast<std::size_t>(step.tempo)];
  }

  bool alignStep(Step& step) {
    const int64_t cur = run_ + step.delta;
    if (!fitsInt32(cur)) return false;
    RetimedTempo* tempo = tempoOf(step);
    if (previousTempo_ && tempo && previousTempo_ != tempo) {
      sectionPush_ = 0;
      sectionStart_ = cur;
    }
    int64_t newTick = cur;
    if (!temposOnly_ && step.startsNote) {
      if (!alignSoundStart(step, tempo, cur, newTick) || !moveTo(step, newTick)) return false;
      lastNoteOn_ = newTick;
    } else if (step.changesTempo) {
      newTick = alignTempoChange(*tempo);
      if (!moveTo(step, newTick)) return false;
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
  bool moveTo(Step& step, int64_t newTick) {
    if (!fitsInt32(newTick) || !fitsInt32(newTick - run_)) return false;
    step.delta = static_cast<int32_t>(newTick - run_);
    return true;
  }

  // A sound head goes onto the grid, never before the event that precedes it, and at least
  // kTempoClearance after its tempo change; the room it needs is recorded on the tempo.
  bool alignSoundStart(const Step& step, RetimedTempo* tempo, int64_t cur, int64_t& newTick) {
    if (!step.soundHead) return true;
    const TrackSettings& settings = layout_.settings();
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
        int64_t{settings.noteInterval} + step.duration + newTick - sectionStart_ - sectionPush_;
    if (!fitsInt32(newTick) || !fitsInt32(sectionPush_) || !fitsInt32(need)) return false;
    if (need > tempo->needed) tempo->needed = static_cast<int32_t>(need);
    return true;
  }

  // The tempo change follows the previous one by the room its section was granted, and never
  // comes before the event that precedes it. A change never follows itself: after a postponed
  // stretch, the events before its one real copy can still carry its own record.
  int64_t alignTempoChange(const RetimedTempo& tempo) {
    int64_t newTick = tempo.tick;
    if (previousTempo_ && previousTempo_ != &tempo) {
      RetimedTempo& previous = *previousTempo_;
      if (int64_t{previous.tick} + previous.granted > tempo.tick) {
        newTick = int64_t{previous.tick} + previous.granted;
        stable_ = false;
      }
      if (previous.granted < previous.needed) {
        newTick = int64_t{previous.tick} + previous.needed;
        previous.granted = previous.needed;
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
  std::vector<RetimedTempo>& tempos_;
  const bool temposOnly_;
  int64_t run_ = 0;
  RetimedTempo* previousTempo_ = nullptr;
  int64_t sectionStart_ = 0;
  int64_t sectionPush_ = 0;
  int64_t lastNoteOn_ = 0;
  bool stable_ = true;
};

// Whether every tempo change, moved by its shift, still lies on a tick a song can hold.
bool shiftedTemposFit(const std::vector<RetimedTempo>& tempos) {
  return std::all_of(tempos.begin(), tempos.end(),
                     [](const RetimedTempo& tempo) { return fitsInt32(int64_t{tempo.tick} + tempo.granted); });
}

// One cycle: every enabled track in full mode, then every track for its tempo changes. Each
// cycle starts from the layouts as built: a push left in a delta would be counted again in its
// section's need by the next cycle, and the sections would grow without end.
AlignOutcome runCycle(std::vector<TrackLayout>& layouts, std::vector<RetimedTempo>& tempos) {
  bool stable = true;
  for (TrackLayout& layout : layouts) layout.restoreBuiltDeltas();
  for (TrackLayout& layout : layouts) {
    if (!layout.settings().enabled) continue;
    const AlignOutcome outcome = LayoutAligner(layout, tempos, false).run();
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  // A track without tempo changes has nothing to move in this pass, and the sums it would add
  // up were checked by the pass before (or are the song's own ticks, for a disabled track).
  for (TrackLayout& layout : layouts) {
    if (!layout.hasTempoChanges()) continue;
    const AlignOutcome outcome = LayoutAligner(layout, tempos, true).run();
    if (outcome == AlignOutcome::Overflow) return outcome;
    stable = stable && outcome == AlignOutcome::Stable;
  }
  return stable ? AlignOutcome::Stable : AlignOutcome::Moved;
}

// The records the re-timing starts from: each tempo change where it was read, its event where
// its track's layout copied it.
std::vector<RetimedTempo> tempoRecords(const Song& song, const RenderingLayout& layout) {
  std::vector<RetimedTempo> records;
  records.reserve(song.tempos.size());
  for (const Tempo& tempo : song.tempos) records.push_back({tempo.track, tempo.event, tempo.tick, 0, 0});
  for (std::size_t track = 0; track < layout.tracks.size(); ++track) {
    for (const auto& [tempo, position] : layout.tracks[track].tempoCopies) {
      RetimedTempo& record = records[static_cast<std::size_t>(tempo)];
      if (std::cmp_equal(record.track, track)) record.event = position;
    }
  }
  return records;
}

}  // namespace

RetimedLayout retimeLayout(RenderingLayout built, const Song& song, std::span<const SlicedTrack> sliced,
                           std::span<const TrackSettings> settings, Diagnostics& diagnostics, int32_t maxCycles) {
  RetimedLayout result{std::move(built), {}, {}};
  result.tempos = tempoRecords(song, result.layout);
  std::vector<TrackLayout> layouts;
  layouts.reserve(result.layout.tracks.size());
  for (std::size_t i = 0; i < result.layout.tracks.size(); ++i)
    layouts.emplace_back(result.layout.tracks[i], static_cast<int32_t>(i), sliced[i], settings[i], result.tempos);
  const auto finish = [&](int32_t cycles, RetimingReport::Ending ending) {
    for (TrackLayout& layout : layouts) layout.writeBack();
    result.report = RetimingReport{cycles, ending};
    return std::move(result);
  };
  for (int32_t cycle = 1; cycle <= maxCycles; ++cycle) {
    const AlignOutcome outcome =
        shiftedTemposFit(result.tempos) ? runCycle(layouts, result.tempos) : AlignOutcome::Overflow;
    if (outcome == AlignOutcome::Stable) return finish(cycle, RetimingReport::Ending::Settled);
    if (outcome == AlignOutcome::Overflow) {
      // A pass stopped half way; the layouts as built are the last deltas known to be whole.
      for (TrackLayout& layout : layouts) layout.restoreBuiltDeltas();
      diagnostics.print("Re-timing stopped in cycle %d: a tick would pass 2147483647\n", cycle);
      return finish(cycle, RetimingReport::Ending::Overflow);
    }
  }
  diagnostics.print("Re-timing stopped after %d cycles without settling\n", maxCycles);
  return finish(maxCycles, RetimingReport::Ending::CycleLimit);
}

}  // namespace rendlow
