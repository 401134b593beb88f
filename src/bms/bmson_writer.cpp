#include "bms/bmson_writer.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/format.h"
#include "base/platform.h"
#include "bms/bms_writer.h"

namespace rendlow {

namespace {

// The MIDI default tempo, for a song that never sets one.
constexpr double kDefaultBpm = 120.0;

// A tempo as a JSON number: every digit a double holds, so the player's tempo is the song's.
std::string jsonNumber(double value) {
  std::string out;
  appendFormatted(out, "%.17g", value);
  return out;
}

void writeInfo(const Song& song, const ChartHeader& header, std::string& out) {
  const double firstBpm = song.tempos.empty() ? kDefaultBpm : chartBpmValue(song.tempos.front());
  out += "  \"info\": {\n";
  out += "    \"title\": " + bmsonString(header.title) + ",\n";
  out += "    \"artist\": " + bmsonString(header.artist) + ",\n";
  out += "    \"genre\": " + bmsonString(header.genre) + ",\n";
  out += "    \"mode_hint\": \"beat-7k\",\n";
  out += "    \"level\": 1,\n";
  out += "    \"init_bpm\": " + jsonNumber(firstBpm) + ",\n";
  out += "    \"judge_rank\": 100,\n";
  out += "    \"total\": 100,\n";
  appendFormatted(out, "    \"resolution\": %d\n", static_cast<int>(song.header.division));
  out += "  },\n";
}

// Writes `items` as the elements of a JSON array named `name`, one per line.
void writeArray(std::string_view name, const std::vector<std::string>& items, std::string& out) {
  out += "  \"";
  out += name;
  out += "\": [";
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    out += items[i];
  }
  out += items.empty() ? "]" : "\n  ]";
  out += ",\n";
}

std::vector<std::string> barLines(const MeasureGrid& grid) {
  std::vector<std::string> lines;
  lines.reserve(grid.measures.size());
  for (const Measure& measure : grid.measures) {
    std::string line;
    appendFormatted(line, "{\"y\": %d}", measure.startTick);
    lines.push_back(std::move(line));
  }
  return lines;
}

// The tempo changes the ".bme" puts on its tempo channel: all in time order but the first, which
// is the chart's starting tempo.
std::vector<std::string> bpmEvents(const Song& song, const Chart& chart) {
  std::vector<std::string> events;
  for (const ChartTempo* change : laterTempoChanges(chart)) {
    const auto tempo = static_cast<std::size_t>(change->tempoIndex);
    const double bpm = tempo < song.tempos.size() ? chartBpmValue(song.tempos[tempo]) : change->bpm;
    std::string event;
    appendFormatted(event, "{\"y\": %d, \"bpm\": %s}", change->tick, jsonNumber(bpm).c_str());
    events.push_back(std::move(event));
  }
  return events;
}

// One channel per id of the track, named by the file its last object plays (as the ".bme"'s #WAV
// line names it), holding every object of that id.
void appendSoundChannels(const ChartTrack& track, std::vector<std::string>& channels) {
  for (const std::vector<std::size_t>& notes : soundChannelNotes(track)) {
    std::string channel = "{\n      \"name\": ";
    channel += bmsonString(soundFileName(track.definitionName, track.notes[notes.back()].fileNumber));
    channel += ",\n      \"notes\": [";
    for (std::size_t i = 0; i < notes.size(); ++i) {
      appendFormatted(channel, "%s\n        {\"x\": 0, \"y\": %d, \"l\": 0, \"c\": false}", i == 0 ? "" : ",",
                      track.notes[notes[i]].tick);
    }
    channel += "\n      ]\n    }";
    channels.push_back(std::move(channel));
  }
}

}  // namespace

std::vector<std::vector<std::size_t>> soundChannelNotes(const ChartTrack& track) {
  std::vector<std::vector<std::size_t>> byDefinition(static_cast<std::size_t>(track.maxDefinition) + 1);
  for (std::size_t n = 0; n < track.notes.size(); ++n) {
    const int32_t definition = track.notes[n].wav - track.firstWav;
    if (definition >= 0 && definition <= track.maxDefinition)
      byDefinition[static_cast<std::size_t>(definition)].push_back(n);
  }
  std::erase_if(byDefinition, [](const std::vector<std::size_t>& notes) { return notes.empty(); });
  return byDefinition;
}

std::string bmsonString(std::string_view programText) {
  std::string out = "\"";
  for (const char ch : utf8FromProgramText(programText)) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20) {
      appendFormatted(out, "\\u%04x", byte);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string formatBmsonChart(const Song& song, const MeasureGrid& grid, const Chart& chart,
                             const ChartHeader& header) {
  std::string out = "{\n  \"version\": \"1.0.0\",\n";
  writeInfo(song, header, out);
  writeArray("lines", barLines(grid), out);
  writeArray("bpm_events", bpmEvents(song, chart), out);
  writeArray("stop_events", {}, out);
  std::vector<std::string> channels;
  for (const ChartTrack& track : chart.tracks) appendSoundChannels(track, channels);
  writeArray("sound_channels", channels, out);
  out += "  \"bga\": {\"bga_header\": [], \"bga_events\": [], \"layer_events\": [], \"poor_events\": []}\n}\n";
  return out;
}

}  // namespace rendlow
