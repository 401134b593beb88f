// Writes the corpus of damaged MIDI files the reader's tests read, one file per fault, named by
// the fault. Run it again after changing a file's recipe and commit what it writes:
//   make_damaged_corpus [folder]   (default: tests/corpus/damaged in the source tree)

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/midi_builder.h"

namespace {

using rendlow::test::Bytes;
using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

// A short, healthy track: name, a note and its end.
TrackBuilder& addPlainTrack(MidiBuilder& song, const std::string& name) {
  return song.track().name(name).noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
}

Bytes header(int trackCount, int division) {
  MidiBuilder song(division);
  song.trackCount(trackCount);
  return song.bytes();
}

Bytes truncatedHeader() {
  Bytes bytes = header(1, 480);
  bytes.resize(11);  // "MThd", its length, the format and half of the track count
  return bytes;
}

Bytes longHeader() {
  // A header chunk that says 8 bytes and has them: the reader takes 14 bytes and meets the
  // two extra ones where the first track chunk should start.
  MidiBuilder song;
  addPlainTrack(song, "Lead");
  Bytes bytes = song.bytes();
  bytes[7] = 8;
  bytes.insert(bytes.begin() + 14, {0x00, 0x00});
  return bytes;
}

Bytes truncatedChunkHeader() {
  Bytes bytes = header(1, 480);
  bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0x00, 0x00});
  return bytes;
}

Bytes truncatedTrack() {
  MidiBuilder song;
  // The last note-off loses its velocity byte to the end of the file.
  song.track().name("Lead").noteOn(0, 0, 60, 100).noteOn(240, 0, 64, 90).raw({0x81, 0x70, 0x80, 0x3C});
  return song.bytes();
}

Bytes metaTypeCutOff() {
  MidiBuilder song;
  song.track().name("Lead").noteOn(0, 0, 60, 100).raw({0x83, 0x60, 0xFF});
  return song.bytes();
}

Bytes textLengthPastEnd() {
  MidiBuilder song;
  song.track().name("Lead").raw({0x00, 0xFF, 0x01, 0x64, 'h', 'e', 'l', 'l', 'o'});
  return song.bytes();
}

Bytes sysExLengthPastEnd() {
  MidiBuilder song;
  song.track().name("Lead").raw({0x60, 0xF0, 0x81, 0x00, 0x7E, 0x7F, 0x09});
  return song.bytes();
}

Bytes fiveByteDelta() {
  MidiBuilder song;
  song.track()
      .name("Lead")
      .noteOn(0, 0, 60, 100)
      .raw({0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 0x3C, 0x00})
      .endOfTrack(0);
  addPlainTrack(song, "Bass");
  return song.bytes();
}

Bytes fiveByteMetaLength() {
  MidiBuilder song;
  addPlainTrack(song, "Lead");
  song.track()
      .name("Bass")
      .noteOn(10, 1, 40, 80)
      .raw({0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 'x'})
      .endOfTrack(10);
  return song.bytes();
}

Bytes dataByteWithoutRunningStatus() {
  MidiBuilder song;
  // The first bytes are data bytes, and nothing has been read yet whose status could repeat.
  song.track()
      .raw({0x00, 0x3C, 0x40, 0x90, 0x3C, 0x64})
      .raw({0x83, 0x60, 0x80, 0x3C, 0x00})
      .raw({0x00, 0xFF, 0x2F, 0x00});
  return song.bytes();
}

Bytes missingEndOfTrack() {
  MidiBuilder song;
  song.track().name("Lead").noteOn(0, 0, 60, 100).noteOff(480, 0, 60);
  return song.bytes();
}

Bytes missingEndOfTrackBeforeNextTrack() {
  // Without End of Track, the next chunk's header and events are read as events of this track.
  MidiBuilder song;
  song.track().name("Lead").noteOn(0, 0, 60, 100).noteOff(480, 0, 60);
  addPlainTrack(song, "Bass");
  return song.bytes();
}

Bytes endOfTrackWithLength() {
  // End of Track carries no data, so the two bytes its length claims are not skipped.
  MidiBuilder song;
  song.track()
      .name("Lead")
      .noteOn(0, 0, 60, 100)
      .noteOff(480, 0, 60)
      .raw({0x00, 0xFF, 0x2F, 0x02, 0xAA, 0xBB});
  addPlainTrack(song, "Bass");
  return song.bytes();
}

Bytes hugeDelta() {
  MidiBuilder song;
  TrackBuilder& track = song.track().name("Lead").noteOn(0, 0, 60, 100);
  // Eight deltas of 0x0FFFFFFF reach 2147483640, seven more ticks reach the largest tick, and
  // one more would pass it.
  for (int i = 0; i < 8; ++i) track.raw({0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64});
  track.raw({0x07, 0xB0, 0x0A, 0x40}).raw({0x01, 0xB0, 0x0B, 0x7F}).raw({0x00, 0xFF, 0x2F, 0x00});
  addPlainTrack(song, "Bass");
  return song.bytes();
}

Bytes withDivision(int division) {
  MidiBuilder song(division);
  addPlainTrack(song, "Lead");
  return song.bytes();
}

Bytes wrongChunkId() {
  MidiBuilder song;
  addPlainTrack(song, "Lead");
  addPlainTrack(song, "Bass").chunkId("MTrX");
  addPlainTrack(song, "Drums");
  return song.bytes();
}

Bytes moreChunksThanHeaderSays() {
  MidiBuilder song;
  addPlainTrack(song, "Lead");
  addPlainTrack(song, "Bass");
  song.trackCount(1);
  return song.bytes();
}

// A count past 32,767: read as a signed number, it would announce no track at all.
Bytes trackCountOf(int count) {
  MidiBuilder song;
  addPlainTrack(song, "Lead");
  addPlainTrack(song, "Bass");
  song.trackCount(count);
  return song.bytes();
}

Bytes independentSongs() {
  MidiBuilder song(480, 2);
  addPlainTrack(song, "First song");
  addPlainTrack(song, "Second song");
  return song.bytes();
}

Bytes shortTempo() {
  MidiBuilder song;
  song.track().meta(0, 0x51, {0x07, 0xA1}).meta(960, 0x51, {}).endOfTrack(960);
  return song.bytes();
}

Bytes zeroTempo() {
  MidiBuilder song;
  song.track().tempo(0, 0).endOfTrack(0);
  return song.bytes();
}

// Notes around two Set Tempo events of 0, and a sound one after them.
Bytes zeroTempoBetweenNotes() {
  MidiBuilder song;
  song.track().tempo(0, 500000).noteOn(0, 0, 60, 100).tempo(240, 0).noteOff(480, 0, 60).tempo(960, 0)
      .tempo(1200, 400000).noteOn(1200, 0, 62, 100).noteOff(1440, 0, 62).endOfTrack(1440);
  return song.bytes();
}

Bytes timeSignatureExponentOutOfRange() {
  MidiBuilder song;
  song.track()
      .timeSignature(0, 4, 30)
      .timeSignature(1920, 4, 31)
      .timeSignature(3840, 3, 0xFF)
      .meta(5760, 0x58, {})
      .endOfTrack(5760);
  return song.bytes();
}

Bytes notMidi() {
  return Bytes{'R', 'I', 'F', 'F', 0x24, 0x00, 0x00, 0x00, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
}

// A note-on cut off after its key by the status byte of the next note-on, as a writer that lost a
// byte leaves it; the track goes on after it.
Bytes statusByteInData() {
  MidiBuilder song;
  song.track().name("Lead").raw(
      {0x00, 0x90, 0x3C, 0x90, 0x3E, 0x64, 0x83, 0x60, 0x80, 0x3E, 0x00, 0x00, 0xFF, 0x2F, 0x00});
  return song.bytes();
}

const std::vector<std::pair<std::string, std::function<Bytes()>>>& recipes() {
  static const std::vector<std::pair<std::string, std::function<Bytes()>>> all = {
      {"empty_file.mid", [] { return Bytes{}; }},
      {"not_midi.mid", notMidi},
      {"truncated_header.mid", truncatedHeader},
      {"long_header.mid", longHeader},
      {"zero_division.mid", [] { return withDivision(0); }},
      {"time_code_division.mid", [] { return withDivision(-6360); }},
      {"track_count_40000.mid", [] { return trackCountOf(40000); }},
      {"track_count_65535.mid", [] { return trackCountOf(65535); }},
      {"format_2.mid", independentSongs},
      {"truncated_chunk_header.mid", truncatedChunkHeader},
      {"truncated_track.mid", truncatedTrack},
      {"meta_type_cut_off.mid", metaTypeCutOff},
      {"text_length_past_end.mid", textLengthPastEnd},
      {"sysex_length_past_end.mid", sysExLengthPastEnd},
      {"five_byte_delta.mid", fiveByteDelta},
      {"five_byte_meta_length.mid", fiveByteMetaLength},
      {"data_byte_without_running_status.mid", dataByteWithoutRunningStatus},
      {"missing_end_of_track.mid", missingEndOfTrack},
      {"missing_end_of_track_before_next_track.mid", missingEndOfTrackBeforeNextTrack},
      {"end_of_track_with_length.mid", endOfTrackWithLength},
      {"huge_delta.mid", hugeDelta},
      {"wrong_chunk_id.mid", wrongChunkId},
      {"more_chunks_than_header_says.mid", moreChunksThanHeaderSays},
      {"short_tempo.mid", shortTempo},
      {"zero_tempo.mid", zeroTempo},
      {"zero_tempo_between_notes.mid", zeroTempoBetweenNotes},
      {"time_signature_exponent_out_of_range.mid", timeSignatureExponentOutOfRange},
      {"status_byte_in_data.mid", statusByteInData},
  };
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path folder =
      argc > 1 ? fs::path(argv[1]) : fs::path(RENDLOW_SOURCE_DIR) / "tests" / "corpus" / "damaged";
  fs::create_directories(folder);
  for (const auto& [name, make] : recipes()) {
    rendlow::test::writeBytes((folder / name).string(), make());
    std::printf("%s\n", (folder / name).string().c_str());
  }
  return 0;
}
