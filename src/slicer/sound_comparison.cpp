#include "slicer/sound_comparison.h"

#include <algorithm>
#include <limits>
#include <map>
#include <utility>

namespace rendlow {

namespace {

// A note's controller snapshot as the controller test moves along the note. The changes met on
// the way are kept beside the snapshot instead of in a copy of it: most notes meet none, and
// the numbering compares many pairs.
class ControlValues {
public:
  explicit ControlValues(const std::map<int32_t, int32_t>& snapshot) : snapshot_(snapshot) {}

  void apply(const MidiEvent& event) {
    if (event.kind == EventKind::ControlChange) set(event.signedData(0), event.signedData(1));
  }

  // The value held for a controller number; 0 for a number not held at all.
  int32_t valueOf(int32_t number) const {
    const auto changed = findChange(number);
    if (changed != changes_.end() && changed->first == number) return changed->second;
    const auto held = snapshot_.find(number);
    return held == snapshot_.end() ? 0 : held->second;
  }

  // Whether every number held here falls into the same bucket as in `other`.
  bool sameBuckets(const ControlValues& other, int32_t width) const {
    for (const auto& [number, value] : snapshot_) {
      if (valueOf(number) / width != other.valueOf(number) / width) return false;
    }
    for (const auto& [number, value] : changes_) {
      if (!snapshot_.contains(number) && value / width != other.valueOf(number) / width) return false;
    }
    return true;
  }

private:
  using Change = std::pair<int32_t, int32_t>;

  std::vector<Change>::const_iterator findChange(int32_t number) const {
    return std::lower_bound(changes_.begin(), changes_.end(), number,
                            [](const Change& c, int32_t n) { return c.first < n; });
  }

  void set(int32_t number, int32_t value) {
    const auto at = findChange(number);
    if (at != changes_.end() && at->first == number) {
      changes_[static_cast<std::size_t>(at - changes_.begin())].second = value;
    } else {
      changes_.insert(at, {number, value});
    }
  }

  const std::map<int32_t, int32_t>& snapshot_;
  std::vector<Change> changes_;  // sorted by controller number
};

bool sameTempo(const Note& a, const Note& b) {
  const auto ta = a.noteOn->tempo.lock();
  const auto tb = b.noteOn->tempo.lock();
  return ta && tb && ta->bpm == tb->bpm;
}

// The smallest multiple of `step` (> 0) that is at least `value` (> 0).
int64_t roundUpToMultiple(int64_t value, int64_t step) { return (value + step - 1) / step * step; }

// Samples both notes from their starts every `interval` ticks while the later note lasts. The
// later note's changes count up to and including the sample tick, the earlier note's only
// before it. Samples at which neither walk meets an event would compare the very states that
// were just found alike, so the walk jumps straight to the next sample where one of them does.
bool sameControllers(const Note& later, const Note& earlier, int32_t width, int32_t interval) {
  if (later.duration <= 0) return true;
  ControlValues a(later.controlState);
  ControlValues b(earlier.controlState);
  const MidiEvent* nextA = later.noteOn->next;
  const MidiEvent* nextB = earlier.noteOn->next;
  const int64_t startA = later.noteOn->tick;
  const int64_t startB = earlier.noteOn->tick;
  const int64_t endA = later.noteOff->tick;
  int64_t t = 0;
  for (;;) {
    for (; nextA && nextA->tick <= startA + t; nextA = nextA->next) a.apply(*nextA);
    for (; nextB && nextB->tick < startB + t; nextB = nextB->next) b.apply(*nextB);
    if (!a.sameBuckets(b, width)) return false;
    // With a step of 0 the notes are compared once. A negative step would sample before the
    // starts forever, where neither walk can move: the comparison just made is the last word.
    if (interval <= 0) return true;
    constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
    const int64_t whenA = nextA ? roundUpToMultiple(nextA->tick - startA, interval) : kNever;
    const int64_t whenB = nextB ? roundUpToMultiple(nextB->tick - startB + 1, interval) : kNever;
    t = std::max(t + interval, std::min(whenA, whenB));
    if (t >= endA - startA) return true;
  }
}

const Note* headOf(const Note& note) {
  const Note* head = &note;
  while (const auto prev = head->chainPrev.lock()) head = prev.get();
  return head;
}

std::vector<const Note*> chainFrom(const Note* head) {
  std::vector<const Note*> chain;
  for (const Note* n = head; n; n = n->chainNext.get()) chain.push_back(n);
  return chain;
}

}  // namespace

int32_t velocityBucket(int32_t velocity, const TrackSettings& settings) {
  return velocity / (settings.velocitySplitWidth < 1 ? 32768 : settings.velocitySplitWidth);
}

bool sameNote(const Note& later, const Note& earlier, const MidiTrack& track) {
  const TrackSettings& settings = track.settings;
  const bool alike = later.pitch == earlier.pitch && later.duration == earlier.duration &&
                     velocityBucket(earlier.velocity, settings) == velocityBucket(later.velocity, settings) &&
                     (settings.ignoreBpm || sameTempo(later, earlier));
  if (!alike || settings.ccSplitWidth <= 0) return alike;
  return sameControllers(later, earlier, settings.ccSplitWidth, settings.ccInterval);
}

bool sameChainSound(std::span<const Note* const> chain, std::span<const Note* const> earlierChain, const MidiTrack& track) {
  // Every note of `chain` must find a match, and the match count must also equal the length of
  // the earlier chain; several notes may match one note, so only the lengths need to agree.
  if (chain.size() != earlierChain.size()) return false;
  if (chain.empty()) return true;
  const int64_t head = chain.front()->noteOn->tick;
  const int64_t earlierHead = earlierChain.front()->noteOn->tick;
  // The earlier chain's notes by distance from its head, chain order kept within one distance.
  std::vector<std::pair<int64_t, const Note*>> byOffset;
  byOffset.reserve(earlierChain.size());
  for (const Note* n : earlierChain) byOffset.emplace_back(n->noteOn->tick - earlierHead, n);
  std::stable_sort(byOffset.begin(), byOffset.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  for (const Note* x : chain) {
    const int64_t offset = x->noteOn->tick - head;
    auto y = std::lower_bound(byOffset.begin(), byOffset.end(), offset,
                              [](const auto& entry, int64_t o) { return entry.first < o; });
    for (; y != byOffset.end() && y->first == offset; ++y) {
      if (sameNote(*x, *y->second, track)) break;
    }
    if (y == byOffset.end() || y->first != offset) return false;
  }
  return true;
}

bool sameSound(const Note& note, const Note& earlier, const MidiTrack& track) {
  return sameChainSound(chainFrom(headOf(note)), chainFrom(headOf(earlier)), track);
}

std::vector<int32_t> startControllerBuckets(const Note& note, bool asLater, int32_t width) {
  ControlValues values(note.controlState);
  const int64_t start = note.noteOn->tick;
  for (const MidiEvent* e = note.noteOn->next; e && (asLater ? e->tick <= start : e->tick < start); e = e->next) {
    values.apply(*e);
  }
  std::vector<int32_t> buckets;
  buckets.reserve(note.controlState.size());
  for (const auto& entry : note.controlState) buckets.push_back(values.valueOf(entry.first) / width);
  return buckets;
}

}  // namespace rendlow
