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

bool hasLengthField(const EventContent& event) {
  return event.kind == EventKind::Meta || event.kind == EventKind::SysEx ||
         event.kind == EventKind::SysExEscape;
}

void writeEvent(std::string& out, const EventContent& event, std::span<const uint8_t> data, int32_t delta,
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

// Calls `write(event, data, delta)` for every event a chunk holds, the delta being the distance
// from the event written before it. An event of kind None is left out, so the next event written
// takes its distance too and keeps its time. Returns the time of the events left out after the
// last one written.
template <typename Write>
int64_t forEachWrittenEvent(const Song& song, std::span<const TimedEvent> events, Write write) {
  int64_t written = 0;
  int64_t last = 0;
  for (const TimedEvent& event : events) {
    last = event.tick;
    if (event.kind == EventKind::None) continue;
    write(event, song.dataOf(event), clampToInt32(event.tick - written));
    written = event.tick;
  }
  return last - written;
}

// A track that the file ended inside of has no End of Track of its own. Its chunk gets one after
// its last event, or every reader, ours too, would find the rendering file cut short.
std::optional<EventContent> missingEndOfTrack(std::span<const TimedEvent> events) {
  const auto last = std::find_if(events.rbegin(), events.rend(),
                                 [](const TimedEvent& event) { return event.kind != EventKind::None; });
  if (last != events.rend() && last->isMeta(kMetaEndOfTrack)) return std::nullopt;
  EventContent end;
  end.status = 0xFF;
  end.kind = EventKind::Meta;
  end.metaType = kMetaEndOfTrack;
  return end;
}

void writeTrackChunk(std::string& out, const Song& song, std::span<const TimedEvent> events,
                     Diagnostics& diagnostics) {
  out += "MTrk";
  diagnostics.print("\n\n");
  // The length goes before the events: four bytes are held for it and filled in once the events
  // are written.
  const std::size_t lengthAt = out.size();
  out.append(4, '\0');
  const int32_t rest = clampToInt32(forEachWrittenEvent(
      song, events, [&](const EventContent& event, std::span<const uint8_t> data, int32_t delta) {
        writeEvent(out, event, data, delta, diagnostics);
      }));
  if (const std::optional<EventContent> closing = missingEndOfTrack(events))
    writeEvent(out, *closing, {}, rest, diagnostics);
  std::string length;
  appendBigEndian(length, static_cast<uint32_t>(out.size() - lengthAt - 4), 4);
  out.replace(lengthAt, 4, length);
}

// A longer delta than kLargestDelta, or a track whose ticks add up past what a signed 32-bit tick
// holds, would be written, but no reader (ours included) could read the file back.
constexpr int64_t kLargestTick = std::numeric_limits<int32_t>::max();

Result<void> checkWritableTiming(const Song& song, std::span<const TrackToWrite> tracks) {
  for (const TrackToWrite& written : tracks) {
    const std::string& name = song.tracks[written.track].name;
    int64_t largestDelta = 0;
    int64_t end = 0;
    const auto count = [&](int64_t delta) {
      largestDelta = std::max(largestDelta, delta);
      end += std::max<int64_t>(delta, 0);
    };
    count(forEachWrittenEvent(
        song, written.events,
        [&](const EventContent&, std::span<const uint8_t>, int32_t delta) { count(delta); }));
    const auto number = static_cast<int32_t>(written.track + 1);
    if (largestDelta > kLargestDelta)
      return Problem{deltaTooLargeReason(number, name, largestDelta, kLargestDelta)};
    if (end > kLargestTick) return Problem{renderingTooLongReason(number, name, end, kLargestTick)};
  }
  return {};
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

Result<std::string> encodeMidiFile(const Song& song, std::span<const TrackToWrite> tracks,
                                   Diagnostics& diagnostics) {
  if (Result<void> writable = checkWritableTiming(song, tracks); !writable) return writable.problem();
  std::string out = "MThd";
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, 1, 2);
  appendBigEndian(out, static_cast<uint32_t>(tracks.size()) & 0xFFFF, 2);
  appendBigEndian(out, static_cast<uint16_t>(song.header.division), 2);
  for (const TrackToWrite& track : tracks) writeTrackChunk(out, song, track.events, diagnostics);
  return out;
}

}  // namespace rendlow
