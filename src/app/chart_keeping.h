#pragma once

// What a new chart does with the chart it replaces. A chart the program wrote and nobody changed
// since is simply replaced; any other is the author's work (notes placed in lanes, header commands,
// BGA), which the new chart takes in (see mergeBmsChart, mergeBmsonChart) and which is kept, as it
// was, beside it.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/notices.h"
#include "base/result.h"
#include "bms/chart_merge.h"

namespace rendlow {

// The digest a settings file keeps of the chart it was written with. Line ends count as "\n", so a
// chart an editor saved again with other line ends and nothing else changed is still the program's.
std::string chartDigest(std::string_view chartText);

// The chart a new one replaces: its work is taken in (a chart the program wrote holds what it took
// in before), and when the author changed it since the program wrote it, it is kept beside the new one.
struct ChartKeeping {
  std::string oldChart;  // its bytes, for the backup
  // It is not the chart whose digest the settings file keeps (or it keeps none): the author's work.
  bool changed = false;
  bool fresh = false;  // the new chart comes from the song alone, as asked
  // The author's work in it: taken in, or with `fresh` left out; none until the new chart is made.
  std::optional<ChartWorkKept> kept;
  // A chart of the other format (a ".bme" where bmson is written, or the reverse) standing where no
  // chart of the new one's does: its work is taken in, and it is kept as a backup and taken away
  // once the new chart stands, so that a player lists one chart of the song, not a stale one too.
  std::optional<std::string> otherFormatPath;
  int32_t notCarried = 0;  // of it, lines and objects the new chart's format has no place for

  // A chart changed by the author, one whose objects the new slicing leaves out (the program's own
  // chart holds the work it took in before), one whose work a chart from the song alone leaves out,
  // or one of the other format, which does not stay.
  bool needsBackup() const {
    return changed || otherFormatPath || (kept && !kept->leftOut.empty()) || (fresh && kept && kept->anything());
  }
  // The chart's work is not all in the new one: objects left out, or what the format cannot hold.
  bool lostWork() const { return !fresh && ((kept && !kept->leftOut.empty()) || notCarried > 0); }
  const std::string& oldPath(const std::string& chartPath) const { return otherFormatPath ? *otherFormatPath : chartPath; }
};

// The chart a new one at `path` replaces, when there is one that can be read: the one at `path`,
// or where none stands, the one of the other format at `otherFormatPath`. `digest` is the one the
// settings file keeps (empty when it keeps none).
std::optional<ChartKeeping> chartToReplace(const std::string& path, const std::string& otherFormatPath,
                                           const std::string& digest, bool fresh);

// The first free backup name for the chart at `chartPath`: "song_out.bme.bak", then ".bak2",
// ".bak3", … None of them ends in a chart's extension, so no player lists a backup.
std::string backupPathFor(const std::string& chartPath);

// Writes the backup of a replaced chart at the first free backup name, never over a file, and
// returns that name; on failure, why.
Result<std::string> keepOldChart(const std::string& chartPath, std::string_view oldChart);

// What the author reads of a kept chart, naming its backup; `chartPath` is the new chart's.
Message chartKeptSummary(const ChartKeeping& keeping, const std::string& chartPath, const std::string& backup);

// The objects left out, one line each, for --verbose; and as a table for the file beside the
// backup that lists them when there are more than kLeftOutListedInline.
std::vector<Message> leftOutLines(const ChartWorkKept& kept);
std::string leftOutTable(const ChartWorkKept& kept);
std::string leftOutListPathFor(const std::string& backup);
inline constexpr std::size_t kLeftOutListedInline = 10;

}  // namespace rendlow
