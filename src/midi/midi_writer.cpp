#include "midi/midi_writer.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "base/messages.h"
#include "core/project.h"

namespace rendlow {

namespace {

bool isWritten(const MidiTrack& track) { return track.hasContent && track.settings.enabled; }

// The data bytes of an event: its `length`, never more than it holds.
std::size_t payloadSize(const MidiEvent& event) {
  return static_cast<std::size_t>(
      std::clamp<int64_t>(event.length, 0, static_cast<int64_t>(event.data.size())));
}

int varLenSize(int32_t value) {
  int bytes = 1;
  for (uint32_t rest = value < 0 ? 0 : static_cast<uint32_t>(value) >> 7; rest != 0; rest >>= 7) ++bytes;
  return bytes;
}

bool isEndOfTrack(const MidiEvent& event) { return event.isMeta(kMetaEndOfTrack); }

void appendBigEndian(std::string& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendByte(std::string& out, uint8_t byte, Diagnostics& diagnostics) {
  out.push_back(static_cast<char>(byte));
  diagnostics.print("%02X ", byte);
}

int32_t clampToTick(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Calls `write(event, delta)` for every event a chunk holds. An event of kind None is left out
// and its delta goes to the next event written, so every later event keeps its time.
template <typename Write>
void forEachWrittenEvent(const MidiTrack& track, Write write) {
  int64_t carried = 0;
  for (const auto& event : track.events) {
    carried += event->delta;
    if (event->kind == EventKind::None) continue;
    write(*event, clampToTick(carried));
    carried = 0;
  }
}

void writeTrackChunk(std::string& out, const MidiTrack& track, Diagnostics& diagnostics) {
  // The length goes before the events, so it is summed from their sizes first.
  uint64_t length = 0;
  forEachWrittenEvent(track,
                      [&](const MidiEvent& event, int32_t delta) { length += encodedSize(event, delta); });
  out += "MTrk";
  diagnostics.print("\n\n");
  appendBigEndian(out, static_cast<uint32_t>(length), 4);
  forEachWrittenEvent(
      track, [&](const MidiEvent& event, int32_t delta) { writeEvent(out, event, delta, diagnostics); });
}

// A variable-length number in a MIDI file has at most four bytes: 28 bits. A longer delta, or a
// track whose ticks add up past what a signed 32-bit tick holds, would be written, but no reader
// (ours included) could read the file back.
constexpr int64_t kLargestDelta = 0x0FFFFFFF;
constexpr int64_t kLargestTick = std::numeric_limits<int32_t>::max();

// Why the project's rendering file cannot be written as a MIDI file; nothing when it can.
std::optional<std::string> unwritableTiming(const Project& project) {
  for (std::size_t i = 0; i < project.tracks.size(); ++i) {
    const MidiTrack& track = *project.tracks[i];
    if (!isWritten(track)) continue;
    int64_t largestDelta = 0;
    int64_t end = 0;
    forEachWrittenEvent(track, [&](const MidiEvent&, int32_t delta) {
      largestDelta = std::max<int64_t>(largestDelta, delta);
      end += std::max(delta, 0);
    });
    const auto number = static_cast<int32_t>(i + 1);
    if (largestDelta > kLargestDelta)
      return deltaTooLargeReason(number, track.name, largestDelta, kLargestDelta);
    if (end > kLargestTick) return renderingTooLongReason(number, track.name, end, kLargestTick);
  }
  return std::nullopt;
}

}  // namespace

int writeVarLen(std::string& out, int32_t value) {
  const int bytes = varLenSize(value);
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int group = bytes - 1; group >= 0; --group) {
    const uint8_t low7 = (bits >> (7 * group)) & 0x7F;
    out.push_back(static_cast<char>(group > 0 ? (low7 | 0x80) : low7));
  }
  return bytes;
}

std::size_t encodedSize(const MidiEvent& event, int32_t delta) {
  if (event.kind == EventKind::None) return 0;
  const std::size_t head = static_cast<std::size_t>(varLenSize(delta)) + 1;
  const std::size_t payload = payloadSize(event);
  switch (event.kind) {
    case EventKind::SysEx:
    case EventKind::SysExEscape:
      return head + static_cast<std::size_t>(varLenSize(static_cast<int32_t>(payload))) + payload;
    case EventKind::Meta:
      if (isEndOfTrack(event)) return head + 2;
      return head + 1 + static_cast<std::size_t>(varLenSize(static_cast<int32_t>(payload))) + payload;
    default:
      return head + payload;
  }
}

void writeEvent(std::string& out, const MidiEvent& event, int32_t delta, Diagnostics& diagnostics) {
  if (event.kind == EventKind::None) return;
  writeVarLen(out, delta);
  appendByte(out, event.status, diagnostics);
  const std::size_t payload = payloadSize(event);
  if (event.kind == EventKind::Meta) {
    appendByte(out, static_cast<uint8_t>(event.metaType), diagnostics);
    if (isEndOfTrack(event)) {
      out.push_back('\0');  // End of Track's length byte; not part of the dump
      diagnostics.print("  ");
      return;
    }
  }
  if (event.kind == EventKind::Meta || event.kind == EventKind::SysEx ||
      event.kind == EventKind::SysExEscape) {
    writeVarLen(out, static_cast<int32_t>(payload));
  }
  for (std::size_t i = 0; i < payload; ++i) appendByte(out, event.data[i], diagnostics);
  diagnostics.print("  ");
}

std::string encodeMidiFile(const Project& project, Diagnostics& diagnostics) {
  const auto written = std::count_if(project.tracks.begin(), project.tracks.end(),
                                     [](const auto& track) { return isWritten(*track); });
  std::string out = "MThd";
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, 1, 2);
  appendBigEndian(out, static_cast<uint32_t>(written) & 0xFFFF, 2);
  appendBigEndian(out, static_cast<uint16_t>(project.header.division), 2);
  for (const auto& track : project.tracks) {
    if (isWritten(*track)) writeTrackChunk(out, *track, diagnostics);
  }
  return out;
}

WriteStatus writeMidiFile(Project& project, const std::string& path, Diagnostics& diagnostics) {
  if (auto reason = unwritableTiming(project)) return WriteStatus::failed(std::move(*reason));
  const std::string contents = encodeMidiFile(project, diagnostics);
  WriteStatus status = writeFileAtomically(path, contents, FileMode::Binary);
  if (status) project.outputPath = path;
  return status;
}

}  // namespace rendlow
