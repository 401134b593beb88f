#include "midi/midi_writer.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "base/integer_math.h"
#include "base/messages.h"

namespace rendlow {

namespace {

int varLenSize(int32_t value) {
  int bytes = 1;
  for (uint32_t rest = value < 0 ? 0 : static_cast<uint32_t>(value) >> 7; rest != 0; rest >>= 7) ++bytes;
  return bytes;
}

void appendBigEndian(std::string& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendByte(std::string& out, uint8_t byte, Diagnostics& diagnostics) {
  out.push_back(static_cast<char>(byte));
  diagnostics.print("%02X ", byte);
}

bool hasLengthField(const MidiEvent& event) {
  return event.kind == EventKind::Meta || event.kind == EventKind::SysEx ||
         event.kind == EventKind::SysExEscape;
}

void writeEvent(std::string& out, const MidiEvent& event, std::span<const uint8_t> data, int32_t delta,
                Diagnostics& diagnostics) {
  writeVarLen(out, delta);
  appendByte(out, event.status, diagnostics);
  if (event.kind == EventKind::Meta) {
    appendByte(out, static_cast<uint8_t>(event.metaType), diagnostics);
    if (event.isMeta(kMetaEndOfTrack)) {
      out.push_back('\0');  // End of Track's length byte; not part of the dump
      diagnostics.print("  ");
      return;
    }
  }
  if (hasLengthField(event)) writeVarLen(out, static_cast<int32_t>(data.size()));
  for (const uint8_t byte : data) appendByte(out, byte, diagnostics);
  diagnostics.print("  ");
}

// Calls `write(event, data, delta)` for every event a chunk holds. An event of kind None is left
// out and its delta goes to the next event written, so every later event keeps its time. Returns
// the time of the events left out after the last one written.
template <typename Write>
int64_t forEachWrittenEvent(const Song& song, const MidiTrack& track, Write write) {
  int64_t carried = 0;
  for (const MidiEvent& event : track.events) {
    carried += event.delta;
    if (event.kind == EventKind::None) continue;
    write(event, song.dataOf(event), clampToInt32(carried));
    carried = 0;
  }
  return carried;
}

// A track that the file ended inside of has no End of Track of its own. Its chunk gets one after
// its last event, or every reader, ours too, would find the rendering file cut short.
std::optional<MidiEvent> missingEndOfTrack(const MidiTrack& track) {
  const auto last = std::find_if(track.events.rbegin(), track.events.rend(),
                                 [](const MidiEvent& event) { return event.kind != EventKind::None; });
  if (last != track.events.rend() && last->isMeta(kMetaEndOfTrack)) return std::nullopt;
  MidiEvent end;
  end.status = 0xFF;
  end.kind = EventKind::Meta;
  end.metaType = kMetaEndOfTrack;
  return end;
}

void writeTrackChunk(std::string& out, const Song& song, const MidiTrack& track, Diagnostics& diagnostics) {
  out += "MTrk";
  diagnostics.print("\n\n");
  // The length goes before the events: four bytes are held for it and filled in once the events
  // are written.
  const std::size_t lengthAt = out.size();
  out.append(4, '\0');
  const int32_t rest = clampToInt32(forEachWrittenEvent(
      song, track, [&](const MidiEvent& event, std::span<const uint8_t> data, int32_t delta) {
        writeEvent(out, event, data, delta, diagnostics);
      }));
  if (const std::optional<MidiEvent> closing = missingEndOfTrack(track))
    writeEvent(out, *closing, {}, rest, diagnostics);
  std::string length;
  appendBigEndian(length, static_cast<uint32_t>(out.size() - lengthAt - 4), 4);
  out.replace(lengthAt, 4, length);
}

// A variable-length number in a MIDI file has at most four bytes: 28 bits. A longer delta, or a
// track whose ticks add up past what a signed 32-bit tick holds, would be written, but no reader
// (ours included) could read the file back.
constexpr int64_t kLargestDelta = 0x0FFFFFFF;
constexpr int64_t kLargestTick = std::numeric_limits<int32_t>::max();

std::optional<Message> unwritableTiming(const Song& song, std::span<const std::size_t> tracks) {
  for (const std::size_t i : tracks) {
    const MidiTrack& track = song.tracks[i];
    int64_t largestDelta = 0;
    int64_t end = 0;
    const auto count = [&](int64_t delta) {
      largestDelta = std::max(largestDelta, delta);
      end += std::max<int64_t>(delta, 0);
    };
    count(forEachWrittenEvent(
        song, track, [&](const MidiEvent&, std::span<const uint8_t>, int32_t delta) { count(delta); }));
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
  const auto bits = static_cast<uint32_t>(value);
  for (int group = bytes - 1; group >= 0; --group) {
    const uint8_t low7 = (bits >> (7 * group)) & 0x7F;
    out.push_back(static_cast<char>(group > 0 ? (low7 | 0x80) : low7));
  }
  return bytes;
}

Result<std::string> encodeMidiFile(const Song& song, std::span<const std::size_t> tracks,
                                   Diagnostics& diagnostics) {
  if (auto reason = unwritableTiming(song, tracks)) return Problem{std::move(*reason)};
  std::string out = "MThd";
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, 1, 2);
  appendBigEndian(out, static_cast<uint32_t>(tracks.size()) & 0xFFFF, 2);
  appendBigEndian(out, static_cast<uint16_t>(song.header.division), 2);
  for (const std::size_t i : tracks) writeTrackChunk(out, song, song.tracks[i], diagnostics);
  return out;
}

}  // namespace rendlow
