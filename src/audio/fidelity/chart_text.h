#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow::audio {

// A line of channel data: "#00501:0A0B" is measure 5, channel "01", data "0A0B".
struct ChannelLine {
  int32_t measure = 0;
  std::string channel;
  std::string data;
};

// What a BMS chart says that matters for playing its background back: the tempo, the sound
// files, and every channel line, of whatever channel; the timeline uses 01 (background), 02
// (measure length), 03 and 08 (tempo) and passes over the others. Definition ids are base 36
// ("01" is 1, "0Z" is 35, "10" is 36), in either case.
struct ChartText {
  double bpm = 130;  // a chart without #BPM plays at 130, as players have it
  std::map<int32_t, double> bpmById;
  std::map<int32_t, std::string> wavById;
  std::vector<ChannelLine> lines;
};

// Reads the lines of a chart, ending in LF or CR LF. A line it cannot make sense of is left
// out, as players do; so reading never fails.
ChartText parseChartText(std::string_view text);

// The value of a two-character base-36 id, or -1 when it is not one.
int32_t base36Id(std::string_view id);

}  // namespace rendlow::audio
