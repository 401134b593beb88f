#pragma once

// Writes Standard MIDI Files byte for byte, for tests, benchmarks and the bundled example song.
// Events are given at absolute ticks in time order; the builder computes the delta times. Damaged
// files are made with raw bytes and the overrides of the track count and the chunk id.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rendlow::test {

using Bytes = std::vector<uint8_t>;

void writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);
std::string readText(const std::string& path);
// Compares `actual` with the golden file `path`, byte for byte. On a difference, or with no golden
// file, the test fails and `actual` is written to `path`.new for a person to read and rename.
void expectGolden(const std::string& actual, const std::string& path);

class TrackBuilder {
public:
  // Channel events; channel 0 to 15.
  TrackBuilder& noteOn(int32_t tick, int ch, int note, int velocity) {
    return event(tick, 0x90 | ch, {note, velocity});
  }
  TrackBuilder& noteOff(int32_t tick, int ch, int note, int velocity = 0) {
    return event(tick, 0x80 | ch, {note, velocity});
  }
  TrackBuilder& controlChange(int32_t tick, int ch, int number, int value) {
    return event(tick, 0xB0 | ch, {number, value});
  }
  TrackBuilder& programChange(int32_t tick, int ch, int program) { return event(tick, 0xC0 | ch, {program}); }
  TrackBuilder& meta(int32_t tick, int type, const Bytes& payload);
  TrackBuilder& name(const std::string& text, int32_t tick = 0) {
    return meta(tick, 0x03, Bytes(text.begin(), text.end()));
  }
  TrackBuilder& tempo(int32_t tick, uint32_t microsecondsPerQuarter);
  TrackBuilder& tempoBpm(int32_t tick, double bpm);
  TrackBuilder& timeSignature(int32_t tick, int numerator, int denominatorExponent);
  TrackBuilder& endOfTrack(int32_t tick) { return meta(tick, 0x2F, {}); }

  // Omit the status byte of a channel event that repeats the previous one (meta and
  // system-exclusive events cancel it, as the file format says).
  TrackBuilder& useRunningStatus(bool on = true) {
    runningStatus_ = on;
    return *this;
  }
  // Damage: bytes appended as they are, with no delta time of their own.
  TrackBuilder& raw(const Bytes& bytes);
  // Overrides the four-byte chunk id ("MTrk").
  TrackBuilder& chunkId(const std::string& id) {
    chunkId_ = id;
    return *this;
  }

  Bytes chunk() const;

private:
  TrackBuilder& event(int32_t tick, int status, std::initializer_list<int> data);

  Bytes body_;
  int32_t lastTick_ = 0;
  bool runningStatus_ = false;
  int lastChannelStatus_ = -1;
  std::string chunkId_ = "MTrk";
};

class MidiBuilder {
public:
  explicit MidiBuilder(int division = 480, int format = 1) : division_(division), format_(format) {}

  TrackBuilder& track() { return tracks_.emplace_back(); }  // appends a new track chunk
  // Overrides the header's track count (default: the number of tracks added).
  MidiBuilder& trackCount(int count) {
    trackCount_ = count;
    return *this;
  }

  Bytes bytes() const;
  void write(const std::string& path) const { writeBytes(path, bytes()); }

private:
  int division_;
  int format_;
  std::optional<int> trackCount_;
  std::vector<TrackBuilder> tracks_;
};

}  // namespace rendlow::test
