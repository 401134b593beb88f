#include "support/midi_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace rendlow::test {

namespace {

void appendBigEndian(Bytes& out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendVarLen(Bytes& out, uint32_t value) {
  Bytes groups{static_cast<uint8_t>(value & 0x7F)};
  while (value >>= 7) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  out.insert(out.end(), groups.begin(), groups.end());
}

}  // namespace

TrackBuilder& TrackBuilder::event(int32_t tick, int status, std::initializer_list<int> data) {
  if (tick < lastTick_) throw std::logic_error("TrackBuilder: events must come in time order");
  appendVarLen(body_, static_cast<uint32_t>(tick - lastTick_));
  lastTick_ = tick;
  if (!runningStatus_ || status != lastChannelStatus_) body_.push_back(static_cast<uint8_t>(status));
  lastChannelStatus_ = status < 0xF0 ? status : -1;
  for (const int byte : data) body_.push_back(static_cast<uint8_t>(byte));
  return *this;
}

TrackBuilder& TrackBuilder::meta(int32_t tick, int type, const Bytes& payload) {
  event(tick, 0xFF, {type});
  appendVarLen(body_, static_cast<uint32_t>(payload.size()));
  body_.insert(body_.end(), payload.begin(), payload.end());
  return *this;
}

TrackBuilder& TrackBuilder::tempo(int32_t tick, uint32_t usec) {
  Bytes payload;
  appendBigEndian(payload, usec, 3);
  return meta(tick, 0x51, payload);
}

TrackBuilder& TrackBuilder::tempoBpm(int32_t tick, double bpm) {
  return tempo(tick, static_cast<uint32_t>(std::lround(60000000.0 / bpm)));
}

TrackBuilder& TrackBuilder::timeSignature(int32_t tick, int numerator, int denominatorExponent) {
  return meta(tick, 0x58, Bytes{static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominatorExponent), 24, 8});
}

TrackBuilder& TrackBuilder::raw(const Bytes& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes TrackBuilder::chunk() const {
  Bytes out(chunkId_.begin(), chunkId_.end());
  appendBigEndian(out, static_cast<uint32_t>(body_.size()), 4);
  out.insert(out.end(), body_.begin(), body_.end());
  return out;
}

Bytes MidiBuilder::bytes() const {
  Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
  appendBigEndian(out, static_cast<uint32_t>(format_), 2);
  appendBigEndian(out, static_cast<uint32_t>(trackCount_.value_or(static_cast<int>(tracks_.size()))), 2);
  appendBigEndian(out, static_cast<uint32_t>(division_), 2);
  for (const TrackBuilder& track : tracks_) {
    const Bytes chunk = track.chunk();
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

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

namespace {

// Where two texts first part: the line number (from 1) and both lines, so a failure shows what
// changed without a diff tool.
std::string firstDifference(const std::string& actual, const std::string& expected) {
  std::istringstream a(actual), e(expected);
  std::string lineA, lineE;  // a line past the end reads as empty
  for (int line = 1;; ++line) {
    const bool inA = static_cast<bool>(std::getline(a, lineA)), inE = static_cast<bool>(std::getline(e, lineE));
    if (!inA && !inE) return "only the end of the last line differs";
    if (inA != inE || lineA != lineE) {
      return "first difference at line " + std::to_string(line) + ":\n  golden: " + lineE.substr(0, 200) +
             "\n  actual: " + lineA.substr(0, 200);
    }
  }
}

}  // namespace

void expectGolden(const std::string& actual, const std::string& path) {
  const std::string candidate = path + ".new";
  const bool exists = std::filesystem::exists(path);
  const std::string expected = exists ? readText(path) : std::string();
  if (exists && actual == expected) {
    std::error_code ignored;
    std::filesystem::remove(candidate, ignored);  // a stale candidate from an earlier failure
    return;
  }
  // A golden file is never replaced by a test: the candidate waits beside it until a person has
  // read the difference and renamed it.
  writeBytes(candidate, Bytes(actual.begin(), actual.end()));
  ADD_FAILURE() << (exists ? "differs from " : "missing golden file ") << path << "\n"
                << (exists ? firstDifference(actual, expected) + "\n" : std::string())
                << "what the test made is in " << candidate << ": read it, then rename it to update";
}

}  // namespace rendlow::test
