#pragma once

#include <map>
#include <string>
#include <vector>

#include "bms/chart_reader.h"

namespace rendlow {

// A background object of the chart at its time.
struct TimedObject {
  double seconds = 0;
  int32_t wavId = 0;
};

// The chart's background as a player plays it: every object of channel 01 at its time in
// seconds, in time order, and the sound file of each #WAV id.
struct ChartTimeline {
  std::map<int32_t, std::string> soundFiles;
  std::vector<TimedObject> objects;
};

// Places the objects: measures 4 beats long times their channel 02 length, tempo from #BPM and
// then the changes of channels 03 (hexadecimal BPM) and 08 (#BPMxx ids); where both change the
// tempo at one spot, channel 08 wins.
ChartTimeline timelineOf(const ChartText& chart);

}  // namespace rendlow
