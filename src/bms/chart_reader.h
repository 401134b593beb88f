#pragma once

// Reading a chart back: the writer's lines (see chart_format.h) and whatever else a chart
// written by hand may hold, kept apart from what they mean (see chart_timeline.h).

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow {

// A line of channel data: "#00501:0A0B" is measure 5, channel 1, data "0A0B".
struct ChannelLine {
  int32_t measure = 0;
  int channel = -1;  // -1 for a channel of letters, which this program neither writes nor plays
  std::string data;
};

// What a chart says that matters for playing its background back: the tempo, the sound files,
// and every channel line, of whatever channel; the timeline passes over the channels it does
// not play. Definition ids are base 36, in either case.
struct ChartText {
  double bpm = 130;  // a chart without #BPM plays at 130, as players have it
  std::map<int32_t, double> bpmById;
  std::map<int32_t, std::string> wavById;
  std::vector<ChannelLine> lines;
};

// Reads the lines of a chart, ending in LF or CR LF. A line it cannot make sense of is left
// out, as players do; so reading never fails.
ChartText parseChartText(std::string_view text);

}  // namespace rendlow
