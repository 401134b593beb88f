#pragma once

// Writes Standard MIDI Files byte for byte, for tests, benchmarks and the bundled example song.
// Events are given at absolute ticks; the builder computes the delta times. Damaged files are
// made with the raw* calls and the overrides of counts and lengths.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rendlow::test {

using Bytes = std::vector<uint8_t>;

Bytes varLen(uint32_t value);

class TrackBuilder {
public:
  // Channel events; channel 0 to 15.
  TrackBuilder& noteOn(int32_t tick, int channel, int note, int velocity);
  TrackBuilder& noteOff(int32_t tick, int channel, int note, int velocity = 0);
  TrackBuilder& controlChange(int32_t tick, int channel, int controller, int value);
  TrackBuilder& programChange(int32_t tick, int channel, int program);
  TrackBuilder& pitchBend(int32_t tick, int channel, int value14);
  // A note-on at `tick` and its note-off `length` ticks later are not adjacent in general, so
  // this only appends the note-on; the note-off must be added in time order too.
  TrackBuilder& sysEx(int32_t tick, const Bytes& payload);
  TrackBuilder& meta(int32_t tick, int type, const Bytes& payload);
  TrackBuilder& name(const std::string& text, int32_t tick = 0);
  TrackBuilder& tempo(int32_t tick, uint32_t microsecondsPerQuarter);
  TrackBuilder& tempoBpm(int32_t tick, double bpm);
  // `changes` tempo changes spread evenly from tick 0 to before `end`, rising linearly from
  // `fromBpm` towards `toBpm`: the tempo ramps long benchmark songs carry.
  TrackBuilder& tempoRamp(int32_t end, int changes, double fromBpm, double toBpm);
  TrackBuilder& timeSignature(int32_t tick, int numerator, int denominatorExponent);
  TrackBuilder& endOfTrack(int32_t tick);

  // Omit the status byte of a channel event that repeats the previous one (meta and
  // system-exclusive events cancel it, as the file format says).
  TrackBuilder& useRunningStatus(bool on = true);

  // Damage: bytes appended as they are, with no delta time of their own.
  TrackBuilder& raw(const Bytes& bytes);
  // Overrides the chunk length written in the header of this chunk.
  TrackBuilder& chunkLength(uint32_t length);
  // Overrides the four-byte chunk id ("MTrk").
  TrackBuilder& chunkId(const std::string& id);

  const Bytes& body() const { return body_; }
  Bytes chunk() const;

private:
  void delta(int32_t tick);
  void status(uint8_t byte, bool channel);

  Bytes body_;
  int32_t lastTick_ = 0;
  bool runningStatus_ = false;
  int lastChannelStatus_ = -1;
  std::optional<uint32_t> chunkLength_;
  std::string chunkId_ = "MTrk";
};

class MidiBuilder {
public:
  explicit MidiBuilder(int division = 480, int format = 1) : division_(division), format_(format) {}

  TrackBuilder& track();  // appends a new track chunk and returns it
  TrackBuilder& trackAt(std::size_t index) { return tracks_.at(index); }

  // Overrides the header's track count (default: the number of tracks added).
  MidiBuilder& trackCount(int count);
  MidiBuilder& division(int division);

  Bytes bytes() const;
  void write(const std::string& path) const;

private:
  int division_;
  int format_;
  std::optional<int> trackCount_;
  std::vector<TrackBuilder> tracks_;
};

void writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);
std::string readText(const std::string& path);

}  // namespace rendlow::test
