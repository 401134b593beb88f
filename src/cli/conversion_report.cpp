#include "cli/conversion_report.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/conversion.h"
#include "base/messages_audio.h"
#include "base/messages_usage.h"
#include "bms/chart_format.h"
#include "bms/chart_lines.h"

namespace rendlow::cli {

namespace {

template <std::size_t Columns>
using Cells = std::array<std::string, Columns>;
constexpr std::size_t kColumns = 7;
using Row = Cells<kColumns>;

// A table's headings as its first row, in the reader's language.
template <std::size_t Columns>
Cells<Columns> headingCells(const std::vector<Message>& headings, Audience audience) {
  Cells<Columns> cells;
  for (std::size_t c = 0; c < Columns && c < headings.size(); ++c) cells[c] = headings[c].in(audience);
  return cells;
}

const ChartTrack* chartTrackOf(const Chart& chart, std::size_t track) {
  for (const ChartTrack& charted : chart.tracks) {
    if (std::cmp_equal(charted.track, track)) return &charted;
  }
  return nullptr;
}

// An id past ZZ has no name in a .bme chart, and a bmson chart names its sounds by file: then the
// track's count of ids tells more than three digits that no chart holds.
Message wavIdRange(const ChartTrack* chart) {
  if (!chart || chart->notes.empty()) return Message::verbatim("-");
  const int64_t last = int64_t{chart->firstWav} + chart->maxDefinition;
  if (last > kMaxChartId) return idCountCell(int64_t{chart->maxDefinition} + 1);
  return Message::verbatim(toBase36(chart->firstWav) + "-" + toBase36(static_cast<int32_t>(last)));
}

TrackReport reportTrack(const Song& song, const Converted& converted, std::size_t track) {
  TrackReport report;
  const std::string& name = song.tracks[track].name;
  const std::string& definitionName = converted.settings[track].definitionName;
  report.name = name;
  report.definitionName = definitionName.empty() ? "-" : definitionName;
  const std::vector<Note>& notes = converted.sliced[track].notes;
  report.notes = notes.size();
  for (const Note& note : notes) {
    if (note.isHead()) ++report.objects;
    // Sound and definition numbers run from 0 without gaps.
    report.sounds = std::max(report.sounds, note.sound + 1);
    report.definitions = std::max(report.definitions, note.definition + 1);
  }
  report.wavIds = wavIdRange(chartTrackOf(converted.chart, track));
  return report;
}

Row cells(const TrackReport& t, Audience audience) {
  return {t.name.empty() ? unnamedTrackCell().in(audience) : t.name,
          t.definitionName,
          std::to_string(t.notes),
          std::to_string(t.objects),
          std::to_string(t.sounds),
          std::to_string(t.definitions),
          t.wavIds.in(audience)};
}

// Names read left to right, figures line up on their last digit: columns [firstFigure, lastFigure].
template <std::size_t Columns>
void printRow(std::ostream& out, const Cells<Columns>& row, const std::array<std::size_t, Columns>& widths,
              std::size_t firstFigure, std::size_t lastFigure) {
  std::string line = " ";
  for (std::size_t c = 0; c < Columns; ++c) {
    const bool figure = c >= firstFigure && c <= lastFigure;
    const std::string pad(widths[c] - row[c].size(), ' ');
    line += ' ';
    line += figure ? pad + row[c] : row[c] + (c + 1 < Columns ? pad : "");
    if (c + 1 < Columns) line += ' ';
  }
  out << line << '\n';
}

template <std::size_t Columns>
void printTable(std::ostream& out, const std::vector<Cells<Columns>>& rows, std::size_t firstFigure,
                std::size_t lastFigure) {
  std::array<std::size_t, Columns> widths{};
  for (const Cells<Columns>& row : rows) {
    for (std::size_t c = 0; c < Columns; ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  for (const Cells<Columns>& row : rows) printRow(out, row, widths, firstFigure, lastFigure);
}

constexpr std::size_t kFidelityColumns = 6;

Cells<kFidelityColumns> fidelityCells(const audio::TrackFidelity& track) {
  const FidelityFigureTexts texts = audio::figureTexts(track.figures);
  return {track.trackName,     track.definitionName,    texts.logSpectralDistanceDb,
          texts.spectralSnrDb, texts.worstStretchSnrDb, texts.worstStretchSeconds};
}

}  // namespace

std::vector<TrackReport> reportTracks(const Song& song, const Converted& converted) {
  std::vector<TrackReport> reports;
  for (const std::size_t track : converted.tracks) reports.push_back(reportTrack(song, converted, track));
  return reports;
}

void printTrackTable(std::ostream& out, const std::vector<TrackReport>& tracks, Audience audience) {
  std::vector<Row> rows{headingCells<kColumns>(trackTableHeadings(), audience)};
  for (const TrackReport& track : tracks) rows.push_back(cells(track, audience));
  printTable(out, rows, 2, 5);
}

void printFidelityTable(std::ostream& out, const std::vector<audio::TrackFidelity>& tracks,
                        Audience audience) {
  if (tracks.empty()) return;
  std::vector<Cells<kFidelityColumns>> rows{
      headingCells<kFidelityColumns>(fidelityTableHeadings(), audience)};
  for (const audio::TrackFidelity& track : tracks) rows.push_back(fidelityCells(track));
  printTable(out, rows, 2, 5);
}

}  // namespace rendlow::cli
