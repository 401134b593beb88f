#include "midi/midi_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "base/file_input.h"
#include "base/messages.h"
#include "midi/byte_reader.h"
#include "midi/channel_split.h"
#include "midi/meta_events.h"
#include "midi/riff_midi.h"

namespace rendlow {

namespace {

constexpr std::size_t kHeaderBytes = 14;
// The bytes of the header's own fields (format, track count, division); a longer header keeps
// fields of later versions after them, which this reader passes over.
constexpr uint32_t kHeaderFieldBytes = 6;
constexpr int32_t kMaxTick = std::numeric_limits<int32_t>::max();
// The fewest bytes an event takes in a typical track (a delta and two data bytes under running
// status), to size the event list once instead of growing it step by step.
constexpr std::size_t kTypicalEventBytes = 3;

// Format 2: each track an independent song, which one chart cannot play together.
constexpr uint16_t kIndependentSongsFormat = 2;
// A division with this bit set counts SMPTE frames per second (high byte, negated) and ticks per
// frame (low byte), not ticks per quarter note.
constexpr uint16_t kSmpteDivisionBit = 0x8000;

Message divisionReasonOf(uint16_t division) {
  if ((division & kSmpteDivisionBit) == 0) return divisionReason(division);
  const int32_t framesPerSecond = -static_cast<int32_t>(static_cast<int8_t>(division >> 8));
  return smpteDivisionReason(framesPerSecond, division & 0xFF);
}

bool sameId(const std::array<char, 4>& id, const char* expected) {
  return std::memcmp(id.data(), expected, id.size()) == 0;
}

// Four bytes, or as many as are left; missing bytes stay 0, which no chunk id contains.
std::array<char, 4> readChunkId(ByteReader& cursor) {
  std::array<char, 4> id{};
  for (char& c : id) c = static_cast<char>(cursor.readByte().value_or(0));
  return id;
}

// Chunks of other kinds (a karaoke file's lyrics and song data) are named by four printable
// ASCII characters; anything else where a chunk should start is no chunk at all.
bool namesAChunk(const std::array<char, 4>& id) {
  return std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// Fills one song from one file held in memory, walking it chunk by chunk and event by event.
class MidiReader {
public:
  MidiReader(Song& song, RunningStatus& running, Diagnostics& diagnostics)
      : song_(song), running_(running), diagnostics_(diagnostics), cursor_(song.bytes), meta_(song, diagnostics) {}

  // Reads the header chunk; the reason when the file is not a MIDI file the program can read.
  Result<void> readHeader();
  // Reads one track chunk and appends it; false when the reading of tracks is over.
  bool readTrack();
  // After the last track: a file that ended before all its announced tracks is damaged.
  void checkTrackCount();

private:
  enum class TrackEvent { Read, EndOfTrack, Nothing };
  // How an event's body was read: whole, cut off by a status byte (the event is left out and the
  // byte starts the next one), or cut off by the end of the file.
  enum class Body { Whole, CutByStatus, CutByEnd };

  // Passes over chunks that are not tracks, up to what may be one.
  void skipOtherChunks();

  TrackEvent readTrackEvent(MidiTrack& track);
  std::optional<MidiEvent> readEvent(MidiTrack& track);
  int32_t readVarLen();
  Body readBody(MidiTrack& track, MidiEvent& event);
  Body readChannelData(MidiEvent& event, int32_t count);
  bool readSysEx(MidiEvent& event);
  bool readMeta(MidiTrack& track, MidiEvent& event);
  void takeData(MidiEvent& event, int32_t length);
  void skipZeroTempo(const MidiEvent& event);
  void leaveOutCutEvent(const MidiEvent& event);
  void reportDamage(ReadDamage::Kind kind, const char* what);

  Song& song_;
  RunningStatus& running_;
  Diagnostics& diagnostics_;
  ByteReader cursor_;
  SongMeta meta_;
  int trackNumber_ = 0;
  int32_t trackTick_ = 0;  // of the last event read in the track being read
  bool statusSeen_ = false;  // an event of this file has been read
  // The last event was cut off by a status byte, which the next event starts with: that event
  // has no delta of its own.
  bool statusPending_ = false;
  bool eventLeftOut_ = false;  // the event just read was cut off and is not kept
  // A damaged track ends the reading of tracks: after it, nothing in the file can be trusted.
  bool damaged_ = false;
  bool stoppedAtChunk_ = false;
};

Result<void> MidiReader::readHeader() {
  const auto bytes = cursor_.readUpTo(kHeaderBytes);
  ByteReader fields(bytes);
  MidiHeader& header = song_.header;
  header.chunkId = readChunkId(fields);
  header.length = fields.readBigEndian(4);
  header.format = static_cast<uint16_t>(fields.readBigEndian(2));
  header.trackCount = static_cast<uint16_t>(fields.readBigEndian(2));
  header.division = static_cast<uint16_t>(fields.readBigEndian(2));
  if (!sameId(header.chunkId, "MThd")) return Problem{notMidiReason()};
  // A header cut short is no MIDI file: its division and track count are not there to use.
  if (bytes.size() < kHeaderBytes) return Problem{headerCutShortReason()};
  if (header.format == kIndependentSongsFormat) {
    diagnostics_.print("Format %d is not supported\n", header.format);
    return Problem{independentSongsReason()};
  }
  if (header.division == 0 || (header.division & kSmpteDivisionBit) != 0) {
    diagnostics_.print("Division %d is not supported\n", header.division);
    return Problem{divisionReasonOf(header.division)};
  }
  if (header.length > kHeaderFieldBytes) cursor_.readUpTo(header.length - kHeaderFieldBytes);
  return {};
}

bool MidiReader::readTrack() {
  if (damaged_ || cursor_.atEnd()) return false;
  if (std::cmp_greater_equal(song_.tracks.size(), song_.header.trackCount)) return false;
  skipOtherChunks();
  if (cursor_.atEnd()) return false;
  trackNumber_ = static_cast<int>(song_.tracks.size()) + 1;
  const std::array<char, 4> chunkId = readChunkId(cursor_);
  if (!sameId(chunkId, "MTrk")) {
    diagnostics_.print("Failed to Read Track %d\n", trackNumber_);
    song_.damage.push_back({ReadDamage::Kind::NotATrack, trackNumber_, 0});
    stoppedAtChunk_ = true;
    return false;
  }
  diagnostics_.print("Read Track %d...\n", trackNumber_);
  MidiTrack& track = song_.tracks.emplace_back();
  // Only a hint for the event list: events are read until End of Track, whatever the chunk claims.
  const uint32_t chunkLength = cursor_.readBigEndian(4);
  track.events.reserve(std::min<std::size_t>(chunkLength, cursor_.remaining()) / kTypicalEventBytes);
  trackTick_ = 0;
  TrackEvent last;
  while ((last = readTrackEvent(track)) == TrackEvent::Read) {
  }
  if (last == TrackEvent::Nothing && !damaged_) {
    song_.damage.push_back({ReadDamage::Kind::TrackCutShort, trackNumber_, 0});
  }
  return true;
}

void MidiReader::skipOtherChunks() {
  for (;;) {
    ByteReader ahead = cursor_;  // a copy looks at the next id without taking it
    const std::array<char, 4> id = readChunkId(ahead);
    if (!namesAChunk(id) || sameId(id, "MTrk")) return;
    cursor_.readUpTo(id.size());
    cursor_.readUpTo(cursor_.readBigEndian(4));
  }
}

void MidiReader::checkTrackCount() {
  const auto read = static_cast<int32_t>(song_.tracks.size());
  if (!damaged_ && !stoppedAtChunk_ && read < int32_t{song_.header.trackCount}) {
    song_.damage.push_back({ReadDamage::Kind::TracksMissing, read, song_.header.trackCount});
  }
}

MidiReader::TrackEvent MidiReader::readTrackEvent(MidiTrack& track) {
  std::optional<MidiEvent> read = readEvent(track);
  if (!read) return TrackEvent::Nothing;
  if (std::exchange(eventLeftOut_, false)) return TrackEvent::Read;
  if (meta_.setsNoTempo(*read)) {
    skipZeroTempo(*read);
    return TrackEvent::Read;
  }
  // The ticks since the track's previous event: the file's delta, plus that of a skipped event.
  read->delta = read->tick - (track.events.empty() ? 0 : track.events.back().tick);
  const bool endOfTrack = read->isMeta(kMetaEndOfTrack);
  track.addEvent(*read, song_.songEnd);
  return endOfTrack ? TrackEvent::EndOfTrack : TrackEvent::Read;
}

std::optional<MidiEvent> MidiReader::readEvent(MidiTrack& track) {
  const int32_t delta = std::exchange(statusPending_, false) ? 0 : readVarLen();
  if (delta < 0) return std::nullopt;
  if (delta > kMaxTick - trackTick_) {
    reportDamage(ReadDamage::Kind::TickPastLimit, "tick past 2147483647");
    return std::nullopt;
  }
  const auto statusByte = cursor_.readByte();
  if (!statusByte) return std::nullopt;  // the file ends right after a delta time
  MidiEvent event;
  trackTick_ += delta;
  event.tick = trackTick_;
  event.status = *statusByte;
  event.kind = classifyStatus(*statusByte);
  if (*statusByte < 0x80) {
    // A data byte: the event repeats the last status, and the byte is its first data byte.
    cursor_.stepBack();
    event.status = running_.lastStatus;
    event.kind = running_.lastKind;
    if (!statusSeen_) running_.carriedIntoFile = true;
  }
  statusSeen_ = true;
  running_.lastStatus = event.status;
  running_.lastKind = event.kind;
  switch (readBody(track, event)) {
    case Body::CutByEnd:
      return std::nullopt;
    case Body::CutByStatus:
      leaveOutCutEvent(event);
      return event;
    case Body::Whole:
      break;
  }
  meta_.linkTempo(event);
  return event;
}

int32_t MidiReader::readVarLen() {
  const VarLen number = cursor_.readVarLen();
  if (!number.tooLong) return number.value;
  reportDamage(ReadDamage::Kind::NumberTooLong, "variable-length number longer than 4 bytes");
  return -1;
}

MidiReader::Body MidiReader::readBody(MidiTrack& track, MidiEvent& event) {
  switch (event.kind) {
    case EventKind::NoteOff:
    case EventKind::NoteOn:
    case EventKind::PolyPressure:
    case EventKind::ControlChange:
    case EventKind::PitchBend:
      return readChannelData(event, 2);
    case EventKind::ProgramChange:
    case EventKind::ChannelPressure:
      return readChannelData(event, 1);
    case EventKind::SysEx:
    case EventKind::SysExEscape:
      // System-exclusive and meta events cancel running status, even one that the end of the
      // file cuts off.
      running_.lastKind = EventKind::None;
      return readSysEx(event) ? Body::Whole : Body::CutByEnd;
    case EventKind::Meta:
      running_.lastKind = EventKind::None;
      return readMeta(track, event) ? Body::Whole : Body::CutByEnd;
    case EventKind::None:
      return Body::Whole;  // no running status to apply: nothing more belongs to this event
  }
  return Body::Whole;
}

// A channel event whose data bytes the end of the file cuts off is dropped. A status byte among
// them ends the event: it is read again as the status of the next one.
MidiReader::Body MidiReader::readChannelData(MidiEvent& event, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const auto byte = cursor_.readByte();
    if (!byte) return Body::CutByEnd;
    if (*byte >= 0x80) {
      cursor_.stepBack();
      return Body::CutByStatus;
    }
    event.head[static_cast<std::size_t>(i)] = *byte;
  }
  event.length = count;
  return Body::Whole;
}

void MidiReader::leaveOutCutEvent(const MidiEvent& event) {
  diagnostics_.print("Track %d damaged: event at tick %d cut off by a status byte\n", trackNumber_,
                     event.tick);
  song_.damage.push_back({ReadDamage::Kind::DataCutOff, trackNumber_, 0, event.tick});
  statusPending_ = true;
  eventLeftOut_ = true;
}

bool MidiReader::readSysEx(MidiEvent& event) {
  const int32_t length = readVarLen();
  if (damaged_) return false;
  takeData(event, length);
  return true;
}

bool MidiReader::readMeta(MidiTrack& track, MidiEvent& event) {
  const auto type = cursor_.readByte();
  if (!type) return false;
  event.metaType = static_cast<int8_t>(*type);
  const int32_t length = readVarLen();
  if (damaged_) return false;
  if (event.metaType == kMetaEndOfTrack) {
    // End of Track carries no data; whatever its length claims is left unread.
    event.length = static_cast<int32_t>(std::min<std::size_t>(std::max(length, 0), cursor_.remaining()));
    event.dataOffset = static_cast<uint32_t>(cursor_.position());
  } else {
    takeData(event, length);
  }
  meta_.apply(track, event);
  return true;
}

// A length that runs past the end of the file is cut to the bytes that are there. The bytes stay
// in the file as read; the event only records where.
void MidiReader::takeData(MidiEvent& event, int32_t length) {
  event.dataOffset = static_cast<uint32_t>(cursor_.position());
  const auto bytes = cursor_.readUpTo(static_cast<std::size_t>(std::max(length, 0)));
  event.length = static_cast<int32_t>(bytes.size());
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), event.head.size()), event.head.begin());
}

// The event is left out of the track, and the reading goes on: what follows it is sound.
void MidiReader::skipZeroTempo(const MidiEvent& event) {
  diagnostics_.print("Track %d damaged: Set Tempo of 0 skipped\n", trackNumber_);
  song_.damage.push_back({ReadDamage::Kind::TempoZero, trackNumber_, 0, event.tick});
}

void MidiReader::reportDamage(ReadDamage::Kind kind, const char* what) {
  diagnostics_.print("Track %d damaged: %s\n", trackNumber_, what);
  song_.damage.push_back({kind, trackNumber_, 0});
  damaged_ = true;
}

}  // namespace

Result<Song> readMidiBytes(std::vector<uint8_t> bytes, RunningStatus& runningStatus,
                           Diagnostics& diagnostics) {
  Song song;
  if (const auto inner = midiInRiff(bytes)) {
    song.bytes.assign(inner->begin(), inner->end());
  } else {
    song.bytes = std::move(bytes);
  }
  runningStatus.carriedIntoFile = false;
  MidiReader reader(song, runningStatus, diagnostics);
  if (Result<void> header = reader.readHeader(); !header) return header.problem();
  while (reader.readTrack()) {
  }
  reader.checkTrackCount();
  diagnostics.print("Read Track End\n");
  splitChannels(song);
  return song;
}

Result<Song> readMidiFile(const std::string& path, RunningStatus& runningStatus, Diagnostics& diagnostics) {
  // The whole file, so that every later read is a bounds-checked look into memory.
  Result<std::vector<uint8_t>> file = readWholeFile<std::vector<uint8_t>>(path, {readReason, folderReason});
  if (!file) {
    diagnostics.print("Failed to open file\n");
    return file.problem();
  }
  return readMidiBytes(std::move(file).value(), runningStatus, diagnostics);
}

}  // namespace rendlow
