#pragma once

// What the chart building hands to the BMS writer: one BMSTrack per converted track with its
// placed sound objects, and the song-wide placed tempo changes. Every object already knows its
// measure and its fraction of it, so the writer does no tick arithmetic.

#include <cstdint>
#include <memory>
#include <vector>

#include "midi/song.h"

namespace rendlow {

class BMSNoteBase {
public:
  virtual ~BMSNoteBase() = default;
  virtual bool isNote() const { return false; }
  virtual bool isBpm() const { return false; }

  std::weak_ptr<Measure> measure;
  int32_t tick = 0;          // song tick (events as read, never the rendering layout)
  int32_t measureIndex = 0;
  int32_t position = -1;     // placement numerator; -1 until placed
  int32_t resolution = 1;    // placement denominator
};

class BMSNote : public BMSNoteBase {
public:
  bool isNote() const override { return true; }

  int32_t wav = 0;         // #WAV id: the note's definition plus the track's firstWav
  int32_t fileNumber = 0;  // number in the sound file's name: the note's sound plus 1
  int32_t voice = 0;
};

class BMSBPM : public BMSNoteBase {
public:
  bool isBpm() const override { return true; }

  float bpm = 0.0f;
  int32_t tempoIndex = 0;
};

class BMSTrack {
public:
  std::size_t cursor = 0;  // writer state: next note to write
  bool done = true;        // writer state: all notes written
  int32_t firstWav = 0;
  int32_t maxDefinition = 0;
  std::vector<std::shared_ptr<BMSNote>> notes;
  std::weak_ptr<MidiTrack> track;
};

using ChartTrackList = std::vector<std::shared_ptr<BMSTrack>>;
using ChartBpmList = std::vector<std::shared_ptr<BMSBPM>>;

}  // namespace rendlow
