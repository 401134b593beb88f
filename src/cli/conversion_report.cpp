#include "cli/conversion_report.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/project.h"
#include "bms/chart_lines.h"

namespace rendlow::cli {

namespace {

constexpr std::size_t kColumns = 7;
using Row = std::array<std::string, kColumns>;

const BMSTrack* chartTrackOf(const Project& project, std::size_t track) {
  for (const BMSTrack& chart : project.chart.chartTracks) {
    if (std::cmp_equal(chart.track, track)) return &chart;
  }
  return nullptr;
}

std::string wavIdRange(const BMSTrack* chart) {
  if (!chart || chart->notes.empty()) return "-";
  return toBase36(chart->firstWav) + "-" + toBase36(chart->firstWav + chart->maxDefinition);
}

TrackReport reportTrack(const Project& project, std::size_t track) {
  TrackReport report;
  const std::string& name = project.song.tracks[track].name;
  const std::string& definitionName = project.settings[track].definitionName;
  report.name = name.empty() ? "(no name)" : name;
  report.definitionName = definitionName.empty() ? "-" : definitionName;
  const std::vector<Note>& notes = project.sliced[track].notes;
  report.notes = notes.size();
  for (const Note& note : notes) {
    if (note.isHead()) ++report.objects;
    // Sound and definition numbers run from 0 without gaps.
    report.sounds = std::max(report.sounds, note.sound + 1);
    report.definitions = std::max(report.definitions, note.definition + 1);
  }
  report.wavIds = wavIdRange(chartTrackOf(project, track));
  return report;
}

Row cells(const TrackReport& t) {
  return {t.name,
          t.definitionName,
          std::to_string(t.notes),
          std::to_string(t.objects),
          std::to_string(t.sounds),
          std::to_string(t.definitions),
          t.wavIds};
}

void printRow(std::ostream& out, const Row& row, const std::array<std::size_t, kColumns>& widths) {
  std::string line = " ";
  for (std::size_t c = 0; c < kColumns; ++c) {
    // Names read left to right, counts line up on their last digit.
    const bool count = c >= 2 && c <= 5;
    const std::string pad(widths[c] - row[c].size(), ' ');
    line += ' ';
    line += count ? pad + row[c] : row[c] + (c + 1 < kColumns ? pad : "");
    if (c + 1 < kColumns) line += ' ';
  }
  out << line << '\n';
}

}  // namespace

std::vector<TrackReport> reportTracks(const Project& project) {
  std::vector<TrackReport> reports;
  for (const std::size_t track : project.convertedTracks()) reports.push_back(reportTrack(project, track));
  return reports;
}

void printTrackTable(std::ostream& out, const std::vector<TrackReport>& tracks) {
  const Row header = {"track", "definition", "notes", "objects", "sounds", "definitions", "#WAV"};
  std::array<std::size_t, kColumns> widths{};
  std::vector<Row> rows{header};
  for (const TrackReport& track : tracks) rows.push_back(cells(track));
  for (const Row& row : rows) {
    for (std::size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  for (const Row& row : rows) printRow(out, row, widths);
}

}  // namespace rendlow::cli
