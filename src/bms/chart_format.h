#pragma once

// What the chart's text is made of, for the writer and the reader alike: object ids and
// definitions in two base-36 digits, the channels, and the shapes of the lines that carry them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rendlow {

inline constexpr int kChannelBackground = 1;
inline constexpr int kChannelMeasureLength = 2;
inline constexpr int kChannelHexTempo = 3;  // the tempo as two hexadecimal digits
inline constexpr int kChannelTempo = 8;     // the tempo of a #BPMxx definition

// The largest id and measure number the chart format can express: "ZZ" and "999".
inline constexpr int32_t kMaxChartId = 36 * 36 - 1;
inline constexpr int32_t kMaxMeasureNumber = 999;

// "#WAVxx name" names the sound file of id xx; "#BPM 150" sets the first tempo and "#BPMxx 150"
// defines the tempo of id xx.
inline constexpr std::string_view kWavCommand = "#WAV";
inline constexpr std::string_view kBpmCommand = "#BPM";
// The header texts the settings hold: genre, title, artist, in that order.
inline constexpr std::array<std::string_view, 3> kHeaderTextCommands = {"#GENRE", "#TITLE", "#ARTIST"};

// Base 36 with upper-case letters, at least two digits ("01", "0Z", "10", "ZZ"); values above
// ZZ get more digits, which no line of the chart can hold, so the writer never asks for them.
std::string toBase36(int32_t value);

// The value of a two-character base-36 id, in either case; -1 when it is not one.
int32_t base36Id(std::string_view id);

// The "#WAVxx name" line of a sound file, with its line end.
std::string wavDefinitionLine(int32_t id, std::string_view fileName);

// A channel line starts "#mmmcc:": measure mmm, channel cc, then its data.
inline constexpr std::size_t kChannelLineStartSize = 7;
std::string channelLineStart(int32_t measure, int channel);

}  // namespace rendlow
