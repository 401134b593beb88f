#pragma once

#include <map>
#include <string>
#include <vector>

#include "audio/fidelity/chart_text.h"
#include "base/result.h"

namespace rendlow::audio {

// A background object of the chart at its time.
struct TimedSound {
  double seconds = 0;
  int32_t wavId = 0;
};

// The chart's background as a player plays it: every object of channel 01 at its time in
// seconds, in time order, and the sound file of each #WAV id.
struct ChartTimeline {
  std::map<int32_t, std::string> soundFiles;
  std::vector<TimedSound> objects;
};

// Places the objects: measures 4 beats long times their channel 02 length, tempo from #BPM and
// then the changes of channels 03 (hexadecimal BPM) and 08 (#BPMxx ids); where both change the
// tempo at one spot, channel 08 wins.
ChartTimeline timelineOf(const ChartText& chart);

// Reads a chart file; the problem names the file.
Result<ChartTimeline> readChartTimeline(const std::string& path);

}  // namespace rendlow::audio
