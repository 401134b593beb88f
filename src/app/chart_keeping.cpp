#include "app/chart_keeping.h"

#include "base/file_input.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "base/messages_keeping.h"
#include "base/sha256.h"

namespace rendlow {

namespace {

std::string withLineFeeds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

KeptWorkCounts countsOf(const ChartWorkKept& kept) {
  return {kept.laneObjects,         kept.moved,       static_cast<int32_t>(kept.leftOut.size()),
          kept.splitNotesInBackground, kept.headerLines, kept.bgaLines};
}

}  // namespace

std::string chartDigest(std::string_view chartText) { return sha256Hex(withLineFeeds(chartText)); }

std::optional<ChartKeeping> chartToReplace(const std::string& path, const std::string& otherFormatPath,
                                           const std::string& digest, bool fresh) {
  const bool standsHere = fileExists(path);
  if (!standsHere && !fileExists(otherFormatPath)) return std::nullopt;
  const std::string& oldPath = standsHere ? path : otherFormatPath;
  Result<std::string> chart = readWholeFile<std::string>(oldPath, {readReason, folderReason});
  // A chart that cannot be read cannot be kept either; its replacement is refused where it is
  // written, as any file that cannot be replaced. One of the other format then stays where it is.
  if (!chart) return std::nullopt;
  const bool changed = digest.empty() || chartDigest(*chart) != digest;
  ChartKeeping keeping{std::move(chart).value(), changed, fresh, std::nullopt, std::nullopt, 0};
  if (!standsHere) keeping.otherFormatPath = otherFormatPath;
  return keeping;
}

std::string backupPathFor(const std::string& chartPath) {
  std::string backup = chartPath + ".bak";
  for (int n = 2; fileExists(backup); ++n) backup = chartPath + ".bak" + std::to_string(n);
  return backup;
}

Result<std::string> keepOldChart(const std::string& chartPath, std::string_view oldChart) {
  const std::string backup = backupPathFor(chartPath);
  if (Result<void> written = writeFileAtomically(backup, oldChart, FileMode::Binary); !written)
    return Problem{chartBackupFailedReason(backup, written.problem().message)};
  return backup;
}

Message chartKeptSummary(const ChartKeeping& keeping, const std::string& chartPath, const std::string& backup) {
  Message summary = keeping.fresh ? freshChartKeptMessage(backup)
                                  : chartWorkKeptMessage(countsOf(keeping.kept.value_or(ChartWorkKept{})), backup);
  if (!keeping.otherFormatPath) return summary;
  if (keeping.fresh) return linesOf(summary, otherFormatChartRemovedMessage(*keeping.otherFormatPath));
  return linesOf(summary, otherFormatChartTakenMessage(*keeping.otherFormatPath, chartPath, keeping.notCarried));
}

std::vector<Message> leftOutLines(const ChartWorkKept& kept) {
  std::vector<Message> lines;
  for (const LeftOutObject& object : kept.leftOut)
    lines.push_back(leftOutObjectLine(object.measure, object.channel, object.slot, object.slots));
  return lines;
}

std::string leftOutTable(const ChartWorkKept& kept) {
  std::string table = "measure\tchannel\tposition\n";
  for (const LeftOutObject& object : kept.leftOut) {
    table += std::to_string(object.measure) + "\t" + object.channel + "\t" + std::to_string(object.slot) + "/" +
             std::to_string(object.slots) + "\n";
  }
  return table;
}

std::string leftOutListPathFor(const std::string& backup) { return backup + ".left-out.tsv"; }

}  // namespace rendlow
