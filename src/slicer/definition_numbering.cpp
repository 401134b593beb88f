#include "slicer/definition_numbering.h"

#include <bit>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "slicer/chain_table.h"
#include "slicer/note.h"
#include "slicer/sound_comparison.h"

namespace rendlow {

namespace {

// What any note alike to a given note must share with it under the track's settings, together
// with the length of the chain it belongs to. Two chains can only make the same sound when they
// are equally long and the head of the later one shares its key with a note at the start of the
// earlier one, so the search for earlier occurrences only looks at chains filed under that key.
struct SoundKey {
  std::size_t chainLength = 0;
  int32_t pitch = 0;
  int32_t duration = 0;
  int32_t velocityBucket = 0;
  uint32_t tempoBits = 0;                 // the BPM's bits; 0 when tempos are ignored
  std::vector<int32_t> controllerBuckets;  // at the note's start; empty when not compared

  bool operator==(const SoundKey&) const = default;
};

struct SoundKeyHash {
  std::size_t operator()(const SoundKey& key) const {
    std::size_t h = key.chainLength;
    const auto mix = [&h](uint64_t v) { h = (h ^ v) * 0x100000001B3ull + (h >> 29); };
    mix(static_cast<uint32_t>(key.pitch));
    mix(static_cast<uint32_t>(key.duration));
    mix(static_cast<uint32_t>(key.velocityBucket));
    mix(key.tempoBits);
    for (int32_t b : key.controllerBuckets) mix(static_cast<uint32_t>(b));
    return h;
  }
};

// The key of a note taking the later (or the earlier) side of sameNote; none when the note can
// be alike to no note at all (tempos compared and no tempo, or one that equals nothing).
std::optional<SoundKey> keyOf(const Note& note, std::size_t chainLength, bool asLater, const TrackSettings& settings) {
  SoundKey key{chainLength, note.pitch, note.duration, velocityBucket(note.velocity, settings), 0, {}};
  if (!settings.ignoreBpm) {
    const auto tempo = note.noteOn->tempo.lock();
    if (!tempo || tempo->bpm != tempo->bpm) return std::nullopt;
    const float bpm = tempo->bpm == 0.0f ? 0.0f : tempo->bpm;  // the two zeros compare equal
    key.tempoBits = std::bit_cast<uint32_t>(bpm);
  }
  // A note that does not last passes the controller test without a comparison. The buckets line
  // up because every note's snapshot holds the same controller numbers, the track's.
  if (settings.ccSplitWidth > 0 && note.duration > 0) {
    key.controllerBuckets = startControllerBuckets(note, asLater, settings.ccSplitWidth);
  }
  return key;
}

// Numbered chains filed under the keys of their notes at distance 0 from the head, in the order
// they were numbered.
class CandidateIndex {
public:
  void add(int32_t chainId, std::span<const Note* const> chain, const TrackSettings& settings) {
    const int64_t head = chain.front()->noteOn->tick;
    for (const Note* n : chain) {
      if (n->noteOn->tick != head) continue;
      auto key = keyOf(*n, chain.size(), false, settings);
      if (!key) continue;
      auto& filed = chains_[std::move(*key)];
      if (filed.empty() || filed.back() != chainId) filed.push_back(chainId);
    }
  }

  const std::vector<int32_t>& candidates(const SoundKey& key) const {
    static const std::vector<int32_t> kNone;
    const auto found = chains_.find(key);
    return found == chains_.end() ? kNone : found->second;
  }

private:
  std::unordered_map<SoundKey, std::vector<int32_t>, SoundKeyHash> chains_;
};

class Numbering {
public:
  explicit Numbering(MidiTrack& track) : track_(track), chains_(track.notes) {}

  void run() {
    const auto& notes = track_.notes;
    for (std::size_t i = 0; i < notes.size(); ++i) {
      Note& note = *notes[i];
      if (note.definition >= 0) continue;  // numbered together with its chain's head
      const int32_t chainId = chains_.placeOf(&note).chain;
      const auto chain = chains_.chain(static_cast<std::size_t>(chainId));
      if (i == 0 || !numberAsRepeat(note, chain)) {
        note.assignDefinition(nextDefinition_++, nextSound_++, true, 0);
      }
      index_.add(chainId, chain, track_.settings);
    }
  }

private:
  // Searches the earlier occurrences of the note's sound from the nearest backwards. Chains
  // occupy consecutive places in `notes` (grouping only ever extends the newest chain), so
  // taking the candidate chains newest first and each one's notes last first visits the earlier
  // notes in exactly the backward order of the whole list, minus notes that cannot match.
  bool numberAsRepeat(Note& note, std::span<const Note* const> chain) {
    const auto key = keyOf(*chain.front(), chain.size(), true, track_.settings);
    if (!key) return false;
    const auto& candidates = index_.candidates(*key);
    std::unordered_set<int32_t> excludedVariants;
    int32_t matchCount = 0;
    int32_t matchedSound = -1;
    for (auto id = candidates.rbegin(); id != candidates.rend(); ++id) {
      const auto earlier = chains_.chain(static_cast<std::size_t>(*id));
      if (!sameChainSound(chain, earlier, track_)) continue;
      for (auto q = earlier.rbegin(); q != earlier.rend(); ++q) {
        const Note& other = **q;
        matchedSound = other.sound;
        const int64_t distance = int64_t{note.noteOn->tick} - other.noteOn->tick;
        if (!excludedVariants.contains(other.variant) && distance > track_.settings.multipleThreshold) {
          note.assignDefinition(other.definition, other.sound, false, other.variant);
          return true;
        }
        ++matchCount;
        excludedVariants.insert(other.variant);
      }
    }
    if (matchedSound < 0) return false;
    note.assignDefinition(nextDefinition_++, matchedSound, false, matchCount);
    return true;
  }

  MidiTrack& track_;
  ChainTable chains_;
  CandidateIndex index_;
  int32_t nextDefinition_ = 0;
  int32_t nextSound_ = 0;
};

}  // namespace

void numberDefinitions(MidiTrack& track) { Numbering(track).run(); }

}  // namespace rendlow
