#include "slicer/sound_comparison.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "base/integer_math.h"

namespace rendlow {

namespace {

// A note's controller state as the controller test moves along the note. The changes met on the
// way are kept beside the state instead of in a copy of it: most notes meet none, and the
// numbering compares many pairs.
class ControlValues {
public:
  ControlValues(std::span<const int32_t> numbers, std::span<const int32_t> state)
      : numbers_(numbers), state_(state) {}

  void apply(const MidiEvent& event) {
    if (event.kind == EventKind::ControlChange) set(event.signedData(0), event.signedData(1));
  }

  // The value held for a controller number; 0 for a number not held at all.
  int32_t valueOf(int32_t number) const {
    const auto changed = findChange(number);
    if (changed != changes_.end() && changed->first == number) return changed->second;
    const auto held = std::lower_bound(numbers_.begin(), numbers_.end(), number);
    if (held == numbers_.end() || *held != number || state_.empty()) return 0;
    return state_[static_cast<std::size_t>(held - numbers_.begin())];
  }

  // Whether every number held here falls into the same bucket as in `other`.
  bool sameBuckets(const ControlValues& other, int32_t width) const {
    if (!state_.empty()) {
      for (const int32_t number : numbers_) {
        if (valueOf(number) / width != other.valueOf(number) / width) return false;
      }
    }
    for (const auto& [number, value] : changes_) {
      if (!holds(number) && value / width != other.valueOf(number) / width) return false;
    }
    return true;
  }

private:
  using Change = std::pair<int32_t, int32_t>;

  bool holds(int32_t number) const {
    return !state_.empty() && std::binary_search(numbers_.begin(), numbers_.end(), number);
  }

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

  std::span<const int32_t> numbers_;
  std::span<const int32_t> state_;
  std::vector<Change> changes_;  // sorted by controller number
};

}  // namespace

int32_t velocityBucket(int32_t velocity, const TrackSettings& settings) {
  return velocity / (settings.velocitySplitWidth < 1 ? 32768 : settings.velocitySplitWidth);
}

int32_t lengthBucket(int32_t duration, const TrackSettings& settings) {
  return settings.lengthSplitWidth < 1 ? duration : duration / settings.lengthSplitWidth;
}

const Tempo* SoundComparison::tempoOf(const Note& note) const {
  const int32_t tempo = events_[static_cast<std::size_t>(note.noteOn)].tempo;
  return tempo == kNone ? nullptr : &tempos_[static_cast<std::size_t>(tempo)];
}

bool SoundComparison::sameNote(const Note& later, const Note& earlier) const {
  const auto sameTempo = [&] {
    const Tempo* a = tempoOf(later);
    const Tempo* b = tempoOf(earlier);
    return a && b && a->bpm == b->bpm;
  };
  const bool alike =
      later.pitch == earlier.pitch &&
      lengthBucket(later.duration, settings_) == lengthBucket(earlier.duration, settings_) &&
      velocityBucket(earlier.velocity, settings_) == velocityBucket(later.velocity, settings_) &&
      (settings_.ignoreBpm || sameTempo());
  if (!alike || settings_.ccSplitWidth <= 0) return alike;
  return sameControllers(later, earlier);
}

// Samples both notes from their starts every `ccInterval` ticks while both notes last (lengths in
// one bucket may differ), so neither walk leaves its note. The
// later note's changes count up to and including the sample tick, the earlier note's only
// before it. Samples at which neither walk meets an event would compare the very states that
// were just found alike, so the walk jumps straight to the next sample where one of them does.
bool SoundComparison::sameControllers(const Note& later, const Note& earlier) const {
  const int64_t length = std::min(later.duration, earlier.duration);
  if (length <= 0) return true;
  const int32_t width = settings_.ccSplitWidth;
  const int32_t interval = settings_.ccInterval;
  ControlValues a(sliced_.controllerNumbers, sliced_.controlState(later));
  ControlValues b(sliced_.controllerNumbers, sliced_.controlState(earlier));
  const std::size_t end = events_.size();
  auto nextA = static_cast<std::size_t>(later.noteOn) + 1;
  auto nextB = static_cast<std::size_t>(earlier.noteOn) + 1;
  const int64_t startA = later.tick;
  const int64_t startB = earlier.tick;
  int64_t t = 0;
  for (;;) {
    for (; nextA < end && events_[nextA].tick <= startA + t; ++nextA) a.apply(events_[nextA]);
    for (; nextB < end && events_[nextB].tick < startB + t; ++nextB) b.apply(events_[nextB]);
    if (!a.sameBuckets(b, width)) return false;
    // With a step of 0 the notes are compared once. A negative step would sample before the
    // starts forever, where neither walk can move: the comparison just made is the last word.
    if (interval <= 0) return true;
    constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
    const int64_t whenA = nextA < end ? roundUpTo(events_[nextA].tick - startA, interval) : kNever;
    const int64_t whenB = nextB < end ? roundUpTo(events_[nextB].tick - startB + 1, interval) : kNever;
    t = std::max(t + interval, std::min(whenA, whenB));
    if (t >= length) return true;
  }
}

bool SoundComparison::sameSound(std::span<const Note> chain, std::span<const Note> earlierChain) const {
  // Every note of `chain` must find a match, and the match count must also equal the length of
  // the earlier chain; several notes may match one note, so only the lengths need to agree.
  if (chain.size() != earlierChain.size()) return false;
  if (chain.empty()) return true;
  const int64_t head = chain.front().tick;
  const int64_t earlierHead = earlierChain.front().tick;
  const auto matches = [&](const Note& x, int64_t offset, const Note& y) {
    return int64_t{y.tick} - earlierHead == offset && sameNote(x, y);
  };
  // Chords and short runs are searched note by note; long legato runs through their notes sorted
  // by distance from the head, so that each note only meets the notes at its own distance.
  constexpr std::size_t kShortChain = 8;
  if (earlierChain.size() <= kShortChain) {
    return std::all_of(chain.begin(), chain.end(), [&](const Note& x) {
      const int64_t offset = x.tick - head;
      return std::any_of(earlierChain.begin(), earlierChain.end(),
                         [&](const Note& y) { return matches(x, offset, y); });
    });
  }
  std::vector<std::pair<int64_t, const Note*>> byOffset;
  byOffset.reserve(earlierChain.size());
  for (const Note& n : earlierChain) byOffset.emplace_back(n.tick - earlierHead, &n);
  std::stable_sort(byOffset.begin(), byOffset.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return std::all_of(chain.begin(), chain.end(), [&](const Note& x) {
    const int64_t offset = x.tick - head;
    auto y = std::lower_bound(byOffset.begin(), byOffset.end(), offset,
                              [](const auto& entry, int64_t o) { return entry.first < o; });
    for (; y != byOffset.end() && y->first == offset; ++y) {
      if (sameNote(x, *y->second)) return true;
    }
    return false;
  });
}

uint64_t SoundComparison::startControllerDigest(const Note& note, bool asLater) const {
  const int32_t width = settings_.ccSplitWidth;
  ControlValues values(sliced_.controllerNumbers, sliced_.controlState(note));
  const int64_t start = note.tick;
  for (std::size_t e = static_cast<std::size_t>(note.noteOn) + 1;
       e < events_.size() && (asLater ? events_[e].tick <= start : events_[e].tick < start); ++e) {
    values.apply(events_[e]);
  }
  uint64_t digest = 0xCBF29CE484222325ull;
  const std::span<const int32_t> state = sliced_.controlState(note);
  for (std::size_t i = 0; i < state.size(); ++i) {
    const int32_t number = sliced_.controllerNumbers[i];
    digest = (digest ^ static_cast<uint32_t>(values.valueOf(number) / width)) * 0x100000001B3ull;
  }
  return digest;
}

}  // namespace rendlow
