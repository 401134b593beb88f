#include "slicer/definition_numbering.h"

#include <bit>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "slicer/sound_comparison.h"

namespace rendlow {

namespace {

// What any note alike to a given note must share with it under the track's settings, together
// with the length of the chain it belongs to. Two chains can only make the same sound when they
// are equally long and the head of the later one shares its key with a note at the start of the
// earlier one, so the search for earlier occurrences only looks at chains filed under that key.
// Keys that agree by accident only bring in chains that the full comparison then turns down.
struct SoundKey {
  std::size_t chainLength = 0;
  int32_t pitch = 0;
  int32_t lengthBucket = 0;
  int32_t velocityBucket = 0;
  uint32_t tempoBits = 0;         // the BPM's bits; 0 when tempos are ignored
  uint64_t controllerDigest = 0;  // of the buckets at the note's start; 0 when not compared

  bool operator==(const SoundKey&) const = default;
};

struct SoundKeyHash {
  std::size_t operator()(const SoundKey& key) const {
    uint64_t h = key.controllerDigest;
    for (uint64_t v : {uint64_t{key.chainLength}, uint64_t{static_cast<uint32_t>(key.pitch)},
                       uint64_t{static_cast<uint32_t>(key.lengthBucket)},
                       uint64_t{static_cast<uint32_t>(key.velocityBucket)}, uint64_t{key.tempoBits}}) {
      h = (h ^ v) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
  }
};

// The key of a note taking the later (or the earlier) side of sameNote; none when the note can
// be alike to no note at all (tempos compared and no tempo, or one that equals nothing).
std::optional<SoundKey> keyOf(const Note& note, std::size_t chainLength, bool asLater,
                              const SoundComparison& comparison) {
  const TrackSettings& settings = comparison.settings();
  SoundKey key{chainLength, note.pitch, lengthBucket(note.duration, settings),
               velocityBucket(note.velocity, settings), 0, 0};
  if (!settings.ignoreBpm) {
    const Tempo* tempo = comparison.tempoOf(note);
    if (!tempo || tempo->bpm != tempo->bpm) return std::nullopt;
    const float bpm = tempo->bpm == 0.0f ? 0.0f : tempo->bpm;  // the two zeros compare equal
    key.tempoBits = std::bit_cast<uint32_t>(bpm);
  }
  // A note that does not last passes the controller test without a comparison, and so does any
  // note alike to one in the length bucket of 0. The buckets line up because every note's state
  // holds the same controller numbers, the track's.
  if (settings.ccSplitWidth > 0 && key.lengthBucket != lengthBucket(0, settings))
    key.controllerDigest = comparison.startControllerDigest(note, asLater);
  return key;
}

// A chain: the notes from its head up to the next head. Grouping only ever extends the newest
// chain, so every chain occupies consecutive places in the track's notes.
struct Chain {
  int32_t head = 0;
  int32_t length = 0;
};

std::vector<Chain> chainsOf(const std::vector<Note>& notes) {
  std::vector<Chain> chains;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    if (notes[i].isHead()) chains.push_back({static_cast<int32_t>(i), 0});
    ++chains.back().length;
  }
  return chains;
}

// Numbered chains filed under the keys of their notes at distance 0 from the head. Each key
// leads to its newest entry, and each entry to the one filed before it under the same key.
class CandidateIndex {
public:
  explicit CandidateIndex(std::size_t expectedChains) { newest_.reserve(expectedChains); }

  void add(int32_t chainId, std::span<const Note> chain, const SoundComparison& comparison) {
    const int64_t head = chain.front().tick;
    for (const Note& n : chain) {
      if (n.tick != head) continue;
      const auto key = keyOf(n, chain.size(), false, comparison);
      if (!key) continue;
      const auto [at, isNew] = newest_.try_emplace(*key, kNoEntry);
      if (!isNew && entries_[static_cast<std::size_t>(at->second)].chain == chainId) continue;
      entries_.push_back({chainId, at->second});
      at->second = static_cast<int32_t>(entries_.size() - 1);
    }
  }

  // Calls `visit` with each chain filed under the key, newest first, until it returns true.
  template <typename Visit>
  void newestFirst(const SoundKey& key, Visit visit) const {
    const auto found = newest_.find(key);
    for (int32_t e = found == newest_.end() ? kNoEntry : found->second; e != kNoEntry;) {
      const Entry& entry = entries_[static_cast<std::size_t>(e)];
      if (visit(entry.chain)) return;
      e = entry.older;
    }
  }

private:
  static constexpr int32_t kNoEntry = -1;
  struct Entry {
    int32_t chain;
    int32_t older;
  };
  std::unordered_map<SoundKey, int32_t, SoundKeyHash> newest_;
  std::vector<Entry> entries_;
};

class Numbering {
public:
  Numbering(const std::vector<Note>& notes, const SoundComparison& comparison)
      : notes_(notes), comparison_(comparison), chains_(chainsOf(notes)), index_(chains_.size()),
        numbers_(notes.size()) {}

  std::vector<NoteNumbers> run() && {
    for (std::size_t id = 0; id < chains_.size(); ++id) {
      const Chain& chain = chains_[id];
      if (id == 0 || !numberAsRepeat(chain)) number(chain, {nextDefinition_++, nextSound_++, 0, true});
      index_.add(static_cast<int32_t>(id), notesOf(chain), comparison_);
    }
    return std::move(numbers_);
  }

private:
  // Every note of the chain plays its head's definition.
  void number(const Chain& chain, const NoteNumbers& numbers) {
    for (int32_t n = chain.head; n != kNone; n = notes_[static_cast<std::size_t>(n)].chainNext)
      numbers_[static_cast<std::size_t>(n)] = numbers;
  }

  const NoteNumbers& numbersOf(const Note& note) const {
    return numbers_[static_cast<std::size_t>(&note - notes_.data())];
  }

  std::span<const Note> notesOf(const Chain& chain) const {
    return std::span(notes_).subspan(static_cast<std::size_t>(chain.head),
                                     static_cast<std::size_t>(chain.length));
  }

  // Searches the earlier occurrences of the chain's sound from the nearest backwards. Taking the
  // candidate chains newest first and each one's notes last first visits the earlier notes in
  // exactly the backward order of the whole list, minus notes that cannot match.
  bool numberAsRepeat(const Chain& chain) {
    const std::span<const Note> notes = notesOf(chain);
    const Note& note = notes.front();
    const auto key = keyOf(note, notes.size(), true, comparison_);
    if (!key) return false;
    std::unordered_set<int32_t> excludedVariants;
    int32_t matchCount = 0;
    int32_t matchedSound = -1;
    bool reused = false;
    index_.newestFirst(*key, [&](int32_t id) {
      const std::span<const Note> earlier = notesOf(chains_[static_cast<std::size_t>(id)]);
      if (!comparison_.sameSound(notes, earlier)) return false;
      for (auto q = earlier.rbegin(); q != earlier.rend(); ++q) {
        const NoteNumbers& other = numbersOf(*q);
        matchedSound = other.sound;
        const int64_t distance = int64_t{note.tick} - q->tick;
        if (!excludedVariants.contains(other.variant) && distance > comparison_.settings().multipleThreshold) {
          number(chain, {other.definition, other.sound, other.variant, false});
          reused = true;
          return true;
        }
        ++matchCount;
        excludedVariants.insert(other.variant);
      }
      return false;
    });
    if (reused) return true;
    if (matchedSound < 0) return false;
    number(chain, {nextDefinition_++, matchedSound, matchCount, false});
    return true;
  }

  const std::vector<Note>& notes_;
  const SoundComparison& comparison_;
  std::vector<Chain> chains_;
  CandidateIndex index_;
  std::vector<NoteNumbers> numbers_;
  int32_t nextDefinition_ = 0;
  int32_t nextSound_ = 0;
};

}  // namespace

std::vector<NoteNumbers> numberDefinitions(const SlicedEvents& events, const SlicedTrack& sliced,
                                           const TrackSettings& settings, std::span<const Tempo> tempos) {
  const SoundComparison comparison(events, sliced, settings, tempos);
  return Numbering(sliced.notes, comparison).run();
}

}  // namespace rendlow
