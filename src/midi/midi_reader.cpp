#include "midi/midi_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "core/project.h"
#include "base/text.h"
#include "midi/byte_reader.h"
#include "midi/in_effect_index.h"

namespace rendlow {

namespace {

constexpr std::size_t kHeaderBytes = 14;
constexpr int32_t kMaxTick = std::numeric_limits<int32_t>::max();
// 2 to a higher power does not fit a signed 32-bit denominator; such a time signature stores 0,
// which the measure grid treats as unusable.
constexpr int32_t kMaxDenominatorExponent = 30;

// The whole file, so that every later read is a bounds-checked look into memory. Empty when the
// file cannot be opened or read (a folder opens on some systems but cannot be read).
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes;
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
  }
  if (in.bad()) return std::nullopt;
  return bytes;
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

// Data byte `i` as an unsigned value; 0 when a short event does not have it.
uint32_t unsignedData(const MidiEvent& event, std::size_t i) {
  return i < event.data.size() ? event.data[i] : 0;
}

// Fills one song from one file held in memory, walking it chunk by chunk and event by event.
class MidiReader {
public:
  MidiReader(Project& project, RunningStatus& running, Diagnostics& diagnostics,
             std::span<const uint8_t> file)
      : project_(project), running_(running), diagnostics_(diagnostics), cursor_(file) {}

  // Reads the header chunk; false when the file is not a MIDI file the program can read.
  bool readHeader();
  // Reads one track chunk and appends it; false when the reading of tracks is over.
  bool readTrack();

private:
  enum class TrackEvent { Read, EndOfTrack, Nothing };

  TrackEvent readTrackEvent(MidiTrack& track);
  std::shared_ptr<MidiEvent> readEvent(MidiTrack& track);
  int32_t readVarLen();
  bool readBody(MidiTrack& track, const std::shared_ptr<MidiEvent>& event);
  bool readChannelData(MidiEvent& event, int32_t count);
  bool readMeta(MidiTrack& track, const std::shared_ptr<MidiEvent>& event);
  bool readSysEx(MidiEvent& event);
  void takeData(MidiEvent& event, int32_t length);
  void applyMeta(MidiTrack& track, const std::shared_ptr<MidiEvent>& event);
  void addTempo(const std::shared_ptr<MidiEvent>& event);
  void addBeat(const std::shared_ptr<MidiEvent>& event);
  void linkInEffect(MidiEvent& event);
  void reportDamage(const char* what);

  Project& project_;
  RunningStatus& running_;
  Diagnostics& diagnostics_;
  ByteReader cursor_;
  InEffectIndex tempoIndex_;
  InEffectIndex beatIndex_;
  int trackNumber_ = 0;
  // A damaged track ends the reading of tracks: after it, nothing in the file can be trusted.
  bool damaged_ = false;
};

bool MidiReader::readHeader() {
  const auto bytes = cursor_.readUpTo(kHeaderBytes);
  ByteReader fields(bytes);
  MidiHeader& header = project_.header;
  header.chunkId = readChunkId(fields);
  header.length = fields.readBigEndian(4);
  header.format = static_cast<int16_t>(fields.readBigEndian(2));
  header.trackCount = static_cast<int16_t>(fields.readBigEndian(2));
  header.division = static_cast<int16_t>(fields.readBigEndian(2));
  // A header cut short is no MIDI file: its division and track count are not there to use.
  if (!sameId(header.chunkId, "MThd") || bytes.size() < kHeaderBytes) return false;
  if (header.division <= 0) {
    diagnostics_.print("Division %d is not supported\n", header.division);
    return false;
  }
  return true;
}

bool MidiReader::readTrack() {
  if (damaged_ || cursor_.atEnd()) return false;
  if (std::cmp_greater_equal(project_.tracks.size(), project_.header.trackCount)) return false;
  auto track = std::make_shared<MidiTrack>();
  trackNumber_ = static_cast<int>(project_.tracks.size()) + 1;
  track->chunkId = readChunkId(cursor_);
  if (!sameId(track->chunkId, "MTrk")) {
    diagnostics_.print("Failed to Read Track %d\n", trackNumber_);
    return false;
  }
  diagnostics_.print("Read Track %d...\n", trackNumber_);
  // Stored only: events are read until End of Track, whatever the chunk claims.
  track->chunkLength = static_cast<int32_t>(cursor_.readBigEndian(4));
  while (readTrackEvent(*track) == TrackEvent::Read) {
  }
  project_.tracks.push_back(std::move(track));
  return true;
}

MidiReader::TrackEvent MidiReader::readTrackEvent(MidiTrack& track) {
  const auto event = readEvent(track);
  if (!event) return TrackEvent::Nothing;
  if (event->startsNote()) {
    event->voice = track.activeNotes;
    ++track.activeNotes;
    track.maxPolyphony = std::max(track.maxPolyphony, track.activeNotes);
  } else if (event->endsNote()) {
    --track.activeNotes;
  } else if (event->kind == EventKind::ControlChange) {
    track.controllers.insert(event->signedData(0));
  }
  const bool endOfTrack = event->isMeta(kMetaEndOfTrack);
  const bool tempo = event->isMeta(kMetaTempo);
  if (tempo) track.hasTempo = true;
  // An event of kind None counts here like a channel event: it is not a meta event.
  if ((event->kind != EventKind::Meta && event->tick > 0) || tempo || event->isMeta(kMetaTimeSignature)) {
    track.hasContent = true;
  }
  track.addEvent(event, project_.songEnd);
  return endOfTrack ? TrackEvent::EndOfTrack : TrackEvent::Read;
}

std::shared_ptr<MidiEvent> MidiReader::readEvent(MidiTrack& track) {
  const int32_t delta = readVarLen();
  if (delta < 0) return nullptr;
  if (delta > kMaxTick - track.currentTick) {
    reportDamage("tick past 2147483647");
    return nullptr;
  }
  const auto statusByte = cursor_.readByte();
  if (!statusByte) return nullptr;  // the file ends right after a delta time
  auto event = std::make_shared<MidiEvent>();
  event->track = &track;
  track.currentTick += delta;
  event->delta = delta;
  event->tick = track.currentTick;
  event->status = *statusByte;
  event->kind = classifyStatus(*statusByte);
  if (*statusByte < 0x80) {
    // A data byte: the event repeats the last status, and the byte is its first data byte.
    cursor_.stepBack();
    event->status = running_.lastStatus;
    event->kind = running_.lastKind;
  }
  running_.lastStatus = event->status;
  running_.lastKind = event->kind;
  if (!readBody(track, event)) return nullptr;
  linkInEffect(*event);
  return event;
}

int32_t MidiReader::readVarLen() {
  const VarLen number = cursor_.readVarLen();
  if (!number.tooLong) return number.value;
  reportDamage("variable-length number longer than 4 bytes");
  return -1;
}

bool MidiReader::readBody(MidiTrack& track, const std::shared_ptr<MidiEvent>& event) {
  switch (event->kind) {
    case EventKind::NoteOff:
    case EventKind::NoteOn:
    case EventKind::PolyPressure:
    case EventKind::ControlChange:
    case EventKind::PitchBend:
      return readChannelData(*event, 2);
    case EventKind::ProgramChange:
    case EventKind::ChannelPressure:
      return readChannelData(*event, 1);
    case EventKind::SysEx:
    case EventKind::SysExEscape:
      // System-exclusive and meta events cancel running status, even one that the end of the
      // file cuts off.
      running_.lastKind = EventKind::None;
      return readSysEx(*event);
    case EventKind::Meta:
      running_.lastKind = EventKind::None;
      return readMeta(track, event);
    case EventKind::None:
      return true;  // no running status to apply: nothing more belongs to this event
  }
  return true;
}

// A channel event whose data bytes the end of the file cuts off is dropped.
bool MidiReader::readChannelData(MidiEvent& event, int32_t count) {
  const auto bytes = cursor_.readUpTo(static_cast<std::size_t>(count));
  if (bytes.size() < static_cast<std::size_t>(count)) return false;
  event.length = count;
  event.data.assign(bytes.begin(), bytes.end());
  return true;
}

bool MidiReader::readSysEx(MidiEvent& event) {
  const int32_t length = readVarLen();
  if (damaged_) return false;
  takeData(event, length);
  return true;
}

bool MidiReader::readMeta(MidiTrack& track, const std::shared_ptr<MidiEvent>& event) {
  const auto type = cursor_.readByte();
  if (!type) return false;
  event->metaType = static_cast<int8_t>(*type);
  const int32_t length = readVarLen();
  if (damaged_) return false;
  if (event->metaType == kMetaEndOfTrack) {
    // End of Track carries no data; whatever its length claims is left unread.
    event->length = static_cast<int32_t>(std::min<std::size_t>(std::max(length, 0), cursor_.remaining()));
  } else {
    takeData(*event, length);
  }
  applyMeta(track, event);
  return true;
}

// A length that runs past the end of the file is cut to the bytes that are there, so nothing is
// allocated for bytes the file does not have.
void MidiReader::takeData(MidiEvent& event, int32_t length) {
  const auto bytes = cursor_.readUpTo(static_cast<std::size_t>(std::max(length, 0)));
  event.length = static_cast<int32_t>(bytes.size());
  event.data.assign(bytes.begin(), bytes.end());
}

void MidiReader::applyMeta(MidiTrack& track, const std::shared_ptr<MidiEvent>& event) {
  switch (event->metaType) {
    case kMetaTrackName:
      track.name = boundedText(
          std::string_view(reinterpret_cast<const char*>(event->data.data()), event->data.size()));
      diagnostics_.print("Name: %s\n", track.name.c_str());
      break;
    case kMetaTempo:
      addTempo(event);
      break;
    case kMetaTimeSignature:
      addBeat(event);
      break;
    default:
      break;
  }
}

void MidiReader::addTempo(const std::shared_ptr<MidiEvent>& event) {
  const uint32_t usec =
      (unsignedData(*event, 0) << 16) | (unsignedData(*event, 1) << 8) | unsignedData(*event, 2);
  // Single precision throughout: later stages compare tempos as these very floats.
  const float bpm = 60.0f / (static_cast<float>(usec) / 1000000.0f);
  diagnostics_.print("Set BPM: %f\n", static_cast<double>(bpm));
  auto tempo = std::make_shared<Tempo>();
  tempo->event = event;
  tempo->bpm = bpm;
  tempo->tick = event->tick;
  tempo->shiftedTick = event->tick;
  tempo->index = static_cast<int32_t>(project_.tempos.size());
  project_.tempos.push_back(tempo);
  tempoIndex_.append(tempo->shiftedTick);
  event->tempo = tempo;
}

void MidiReader::addBeat(const std::shared_ptr<MidiEvent>& event) {
  auto beat = std::make_shared<Beat>();
  beat->event = event;
  beat->numerator = event->signedData(0);
  const int32_t exponent = event->signedData(1);
  beat->denominator = exponent > kMaxDenominatorExponent
                          ? 0
                          : static_cast<int32_t>(std::pow(2.0, static_cast<double>(exponent)));
  diagnostics_.print("Set Mesauge: %d/%d\n", beat->numerator, beat->denominator);
  beat->tick = event->tick;
  beat->shiftedTick = event->tick;
  project_.beats.push_back(beat);
  beatIndex_.append(beat->tick);
  event->beat = beat;
}

// The tempo change and time signature in effect at the event's tick, as far as the file has been
// read. A Set Tempo or Time Signature event keeps the record it has just made, even where the
// scan would stop at an earlier one: pointing it at another record would make the re-timing treat
// that record as following itself.
void MidiReader::linkInEffect(MidiEvent& event) {
  if (!event.isMeta(kMetaTempo)) {
    if (const auto at = tempoIndex_.find(event.tick)) event.tempo = project_.tempos[*at];
  }
  if (!event.isMeta(kMetaTimeSignature)) {
    if (const auto at = beatIndex_.find(event.tick)) event.beat = project_.beats[*at];
  }
}

void MidiReader::reportDamage(const char* what) {
  diagnostics_.print("Track %d damaged: %s\n", trackNumber_, what);
  damaged_ = true;
}

}  // namespace

bool readMidiFile(Project& project, const std::string& path, RunningStatus& runningStatus,
                  Diagnostics& diagnostics) {
  project.tempos.clear();
  project.tracks.clear();
  project.settingsPath.clear();
  const auto file = readWholeFile(path);
  if (!file) {
    diagnostics.print("Failed to open file\n");
    return false;
  }
  project.beats.clear();
  project.measures.clear();
  project.songEnd = 0;
  MidiReader reader(project, runningStatus, diagnostics, *file);
  if (!reader.readHeader()) return false;
  while (reader.readTrack()) {
  }
  diagnostics.print("Read Track End\n");
  project.inputPath = path;
  project.settingsPath = settingsPathFor(path);
  return true;
}

std::string settingsPathFor(const std::string& midiPath) {
  // Searched as text of the system code page: a trail byte equal to '.' is not a dot.
  const std::size_t dot = findLastChar(midiPath, '.');
  return midiPath.substr(0, dot) + ".txt";
}

}  // namespace rendlow
