#pragma once

// What the chart building hands to the BMS writer: one ChartTrack per converted track with its
// placed sound objects, and the song-wide placed tempo changes. Every object already knows its
// measure and its fraction of it, so the writer does no tick arithmetic.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow {

// Where an object lies: its measure, and `position` / `resolution` of the way through it. An
// object past the longest grid (kMaxMeasures measures) stands in the measure after the grid's last,
// at its start, and the chart is refused for its length.
struct ChartPosition {
  int32_t tick = 0;  // song tick (events as read, never the rendering layout)
  int32_t measureIndex = 0;
  int32_t position = 0;
  int32_t resolution = 1;
};

// One placed sound.
struct ChartNote : ChartPosition {
  int32_t wav = 0;         // #WAV id: the note's definition plus the track's firstWav
  int32_t fileNumber = 0;  // number in the sound file's name: the note's sound plus 1
  int32_t voice = 0;
  int32_t pitch = 0;  // the note that places it: a chord's sound is placed by its lowest
  // The author moved this object from the background into a lane of their chart, where it stays:
  // it names its sound's #WAV line but has no background object of its own.
  bool inLane = false;
};

// One placed tempo change.
struct ChartTempo : ChartPosition {
  float bpm = 0.0f;
  int32_t tempoIndex = 0;
};

struct ChartTrack {
  int32_t track = 0;  // position of the source track in the song
  int32_t firstWav = 0;
  int32_t maxDefinition = 0;
  std::vector<ChartNote> notes;
  // What the writer needs of the source track: its sound files' base name, and its lanes.
  std::string definitionName;
  int32_t maxPolyphony = 0;
  int32_t splitMethod = 0;
};

struct Chart {
  std::vector<ChartTrack> tracks;  // in track order
  std::vector<ChartTempo> tempos;  // as built: track by track, each in event order
};

// The tempo changes a chart plays after it starts, as its tempo channel (bmson: its bpm_events)
// carries them: all in time order, ties as built, but the first, which is the chart's starting
// tempo.
std::vector<const ChartTempo*> laterTempoChanges(const Chart& chart);

// The file a sound of a track is rendered to, as the chart's #WAV lines name it: the track's
// definition name and the sound's number from 1, "tr01_03.wav".
std::string soundFileName(const std::string& definitionName, int32_t fileNumber);

// The definition name a file is named after when its name has the shape of a sound file:
// "<name>_<digits>.wav", or ".ogg" once encoded (the extension in either case). Nothing otherwise.
std::optional<std::string_view> soundFileDefinitionName(std::string_view fileName);

// The file format a chart is written in: ".bme" text, or bmson, whose JSON has no limit on the
// number of sounds.
enum class ChartFormat { Bme, Bmson };

// The chart header's texts.
struct ChartHeader {
  std::string genre = "TEMP";
  std::string title = "TEMP";
  std::string artist = "TEMP";
};

}  // namespace rendlow
