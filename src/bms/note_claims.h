#pragma once

// The notes of a new chart that the objects an author moved into lanes of the old chart stood for.
// An object names one of the program's sound files, so its track; it stands where its note did, so
// its tick. Each note is claimed once, and where a new slicing sounds apart notes that one old sound
// played together, the object takes the lowest and the others stay in the background.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "bms/chart.h"

namespace rendlow {

// The definition name of a sound file of the program: a file named as one (see
// soundFileDefinitionName) after a name of `soundNames`. Nothing for a file of the author's own.
std::optional<std::string> definitionNameOfSoundFile(std::string_view fileName,
                                                     std::span<const std::string> soundNames);

// A note of the chart: its track and its place among the track's notes.
struct NoteRef {
  std::size_t track = 0;
  std::size_t note = 0;
  auto operator<=>(const NoteRef&) const = default;
};

class NoteClaims {
public:
  explicit NoteClaims(const Chart& chart);

  // The unclaimed note of the track named `definitionName` between ticks `first` and `last` that
  // `at` accepts (all, without it), the lowest-pitched when several; it is claimed. Nothing when the
  // note is gone.
  std::optional<NoteRef> claim(const std::string& definitionName, int64_t first, int64_t last,
                               const std::function<bool(const ChartNote&)>& at = nullptr);

  const std::set<NoteRef>& claimed() const { return claimed_; }
  const ChartNote& note(const NoteRef& ref) const { return chart_.tracks[ref.track].notes[ref.note]; }

  // The notes at a claimed note's tick that stay unclaimed: the new slicing sounds them apart.
  int32_t unclaimedBesideClaimed() const;

private:
  const Chart& chart_;
  std::map<std::string, std::size_t> trackOfName_;
  std::set<NoteRef> claimed_;
};

}  // namespace rendlow
