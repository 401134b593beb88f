#include "support/midi_builder.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace rendlow::test {

namespace {

void appendBigEndian(Bytes& out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

Bytes varLen(uint32_t value) {
  Bytes groups{static_cast<uint8_t>(value & 0x7F)};
  while (value >>= 7) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  return groups;
}

void TrackBuilder::delta(int32_t tick) {
  if (tick < lastTick_) throw std::logic_error("TrackBuilder: events must come in time order");
  const Bytes d = varLen(static_cast<uint32_t>(tick - lastTick_));
  body_.insert(body_.end(), d.begin(), d.end());
  lastTick_ = tick;
}

void TrackBuilder::status(uint8_t byte, bool channel) {
  if (channel && runningStatus_ && byte == lastChannelStatus_) return;
  body_.push_back(byte);
  lastChannelStatus_ = channel ? byte : -1;
}

TrackBuilder& TrackBuilder::noteOn(int32_t tick, int channel, int note, int velocity) {
  delta(tick);
  status(static_cast<uint8_t>(0x90 | channel), true);
  body_.push_back(static_cast<uint8_t>(note));
  body_.push_back(static_cast<uint8_t>(velocity));
  return *this;
}

TrackBuilder& TrackBuilder::noteOff(int32_t tick, int channel, int note, int velocity) {
  delta(tick);
  status(static_cast<uint8_t>(0x80 | channel), true);
  body_.push_back(static_cast<uint8_t>(note));
  body_.push_back(static_cast<uint8_t>(velocity));
  return *this;
}

TrackBuilder& TrackBuilder::controlChange(int32_t tick, int channel, int controller, int value) {
  delta(tick);
  status(static_cast<uint8_t>(0xB0 | channel), true);
  body_.push_back(static_cast<uint8_t>(controller));
  body_.push_back(static_cast<uint8_t>(value));
  return *this;
}

TrackBuilder& TrackBuilder::programChange(int32_t tick, int channel, int program) {
  delta(tick);
  status(static_cast<uint8_t>(0xC0 | channel), true);
  body_.push_back(static_cast<uint8_t>(program));
  return *this;
}

TrackBuilder& TrackBuilder::pitchBend(int32_t tick, int channel, int value14) {
  delta(tick);
  status(static_cast<uint8_t>(0xE0 | channel), true);
  body_.push_back(static_cast<uint8_t>(value14 & 0x7F));
  body_.push_back(static_cast<uint8_t>((value14 >> 7) & 0x7F));
  return *this;
}

TrackBuilder& TrackBuilder::sysEx(int32_t tick, const Bytes& payload) {
  delta(tick);
  status(0xF0, false);
  const Bytes n = varLen(static_cast<uint32_t>(payload.size()));
  body_.insert(body_.end(), n.begin(), n.end());
  body_.insert(body_.end(), payload.begin(), payload.end());
  return *this;
}

TrackBuilder& TrackBuilder::meta(int32_t tick, int type, const Bytes& payload) {
  delta(tick);
  status(0xFF, false);
  body_.push_back(static_cast<uint8_t>(type));
  const Bytes n = varLen(static_cast<uint32_t>(payload.size()));
  body_.insert(body_.end(), n.begin(), n.end());
  body_.insert(body_.end(), payload.begin(), payload.end());
  return *this;
}

TrackBuilder& TrackBuilder::name(const std::string& text, int32_t tick) {
  return meta(tick, 0x03, Bytes(text.begin(), text.end()));
}

TrackBuilder& TrackBuilder::tempo(int32_t tick, uint32_t usec) {
  Bytes payload;
  appendBigEndian(payload, usec, 3);
  return meta(tick, 0x51, payload);
}

TrackBuilder& TrackBuilder::tempoBpm(int32_t tick, double bpm) {
  return tempo(tick, static_cast<uint32_t>(std::lround(60000000.0 / bpm)));
}

TrackBuilder& TrackBuilder::tempoRamp(int32_t end, int changes, double fromBpm, double toBpm) {
  for (int i = 0; i < changes; ++i) {
    tempoBpm(static_cast<int32_t>(int64_t{end} * i / changes), fromBpm + (toBpm - fromBpm) * i / changes);
  }
  return *this;
}

TrackBuilder& TrackBuilder::timeSignature(int32_t tick, int numerator, int denominatorExponent) {
  return meta(tick, 0x58, Bytes{static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominatorExponent), 24, 8});
}

TrackBuilder& TrackBuilder::endOfTrack(int32_t tick) { return meta(tick, 0x2F, {}); }

TrackBuilder& TrackBuilder::useRunningStatus(bool on) {
  runningStatus_ = on;
  return *this;
}

TrackBuilder& TrackBuilder::raw(const Bytes& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

TrackBuilder& TrackBuilder::chunkLength(uint32_t length) {
  chunkLength_ = length;
  return *this;
}

TrackBuilder& TrackBuilder::chunkId(const std::string& id) {
  chunkId_ = id;
  return *this;
}

Bytes TrackBuilder::chunk() const {
  Bytes out(chunkId_.begin(), chunkId_.end());
  appendBigEndian(out, chunkLength_.value_or(static_cast<uint32_t>(body_.size())), 4);
  out.insert(out.end(), body_.begin(), body_.end());
  return out;
}

TrackBuilder& MidiBuilder::track() { return tracks_.emplace_back(); }

MidiBuilder& MidiBuilder::trackCount(int count) {
  trackCount_ = count;
  return *this;
}

MidiBuilder& MidiBuilder::division(int division) {
  division_ = division;
  return *this;
}

Bytes MidiBuilder::bytes() const {
  Bytes out{'M', 'T', 'h', 'd'};
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, static_cast<uint32_t>(format_), 2);
  appendBigEndian(out, static_cast<uint32_t>(trackCount_.value_or(static_cast<int>(tracks_.size()))), 2);
  appendBigEndian(out, static_cast<uint32_t>(division_), 2);
  for (const auto& t : tracks_) {
    const Bytes c = t.chunk();
    out.insert(out.end(), c.begin(), c.end());
  }
  return out;
}

void MidiBuilder::write(const std::string& path) const { writeBytes(path, bytes()); }

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace rendlow::test
