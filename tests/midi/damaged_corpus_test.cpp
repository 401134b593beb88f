// Every file of the damaged corpus, read as the program reads it: what is kept (tracks, events,
// kinds, ticks, data) and every progress line, byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "read_song.h"

namespace rendlow::test {
namespace {

struct CorpusCase {
  const char* file;
  bool ok;
  const char* diagnostics;
  const char* tracks;
};

const std::string kDamaged = std::string(RENDLOW_TEST_DATA_DIR) + "/corpus/damaged/";

constexpr const char* kPlainLead =
    "track 1 \"Lead\" content=1 polyphony=1\n"
    "  0 Meta FF/03 [4] 4C 65 61 64\n"
    "  0 NoteOn 90 [2] 3C 64\n"
    "  480 NoteOff 80 [2] 3C 00\n"
    "  480 Meta FF/2F [0]\n";

const CorpusCase kCases[] = {
    {"empty_file.mid", false, "", ""},
    {"not_midi.mid", false, "", ""},
    {"truncated_header.mid", false, "", ""},
    // The header is always 14 bytes: the two extra ones stand where a chunk id belongs.
    {"long_header.mid", true, "Failed to Read Track 1\nRead Track End\n", ""},
    {"zero_division.mid", false, "Division 0 is not supported\n", ""},
    {"time_code_division.mid", false, "Division -6360 is not supported\n", ""},
    {"negative_track_count.mid", true, "Read Track End\n", ""},
    {"truncated_chunk_header.mid", true, "Read Track 1...\nRead Track End\n",
     "track 1 \"\" content=0 polyphony=0\n"},
    {"truncated_track.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=2\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  240 NoteOn 90 [2] 40 5A\n"},
    {"meta_type_cut_off.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=0 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"},
    {"text_length_past_end.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=0 polyphony=0\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 Meta FF/01 [5] 68 65 6C 6C 6F\n"},
    {"sysex_length_past_end.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=0\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  96 SysEx F0 [3] 7E 7F 09\n"},
    {"five_byte_delta.mid", true,
     "Read Track 1...\nName: Lead\nTrack 1 damaged: variable-length number longer than 4 bytes\n"
     "Read Track End\n",
     "track 1 \"Lead\" content=0 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"},
    {"five_byte_meta_length.mid", true,
     "Read Track 1...\nName: Lead\nRead Track 2...\nName: Bass\n"
     "Track 2 damaged: variable-length number longer than 4 bytes\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  480 NoteOff 80 [2] 3C 00\n"
     "  480 Meta FF/2F [0]\n"
     "track 2 \"Bass\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 42 61 73 73\n"
     "  10 NoteOn 91 [2] 28 50\n"},
    // Each data byte is an event of kind None and is read again as the next delta time.
    {"data_byte_without_running_status.mid", true, "Read Track 1...\nRead Track End\n",
     "track 1 \"\" content=1 polyphony=1\n"
     "  0 None 00 [0]\n"
     "  60 None 00 [0]\n"
     "  124 NoteOn 90 [2] 3C 64\n"
     "  604 NoteOff 80 [2] 3C 00\n"
     "  604 Meta FF/2F [0]\n"},
    {"missing_end_of_track.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  480 NoteOff 80 [2] 3C 00\n"},
    // "MTrk", the chunk length and the next track's events become note-offs under running status,
    // until that track's End of Track ends this one.
    {"missing_end_of_track_before_next_track.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  480 NoteOff 80 [2] 3C 00\n"
     "  557 NoteOff 80 [2] 54 72\n"
     "  664 NoteOff 80 [2] 00 00\n"
     "  664 NoteOff 80 [2] 15 00\n"
     "  16923 NoteOff 80 [2] 04 42\n"
     "  17020 NoteOff 80 [2] 73 73\n"
     "  17020 NoteOn 90 [2] 3C 64\n"
     "  17500 NoteOff 80 [2] 3C 00\n"
     "  17500 Meta FF/2F [0]\n"},
    {"end_of_track_with_length.mid", true,
     "Read Track 1...\nName: Lead\nFailed to Read Track 2\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  480 NoteOff 80 [2] 3C 00\n"
     "  480 Meta FF/2F [2]\n"},
    {"huge_delta.mid", true,
     "Read Track 1...\nName: Lead\nTrack 1 damaged: tick past 2147483647\nRead Track End\n",
     "track 1 \"Lead\" content=1 polyphony=1\n"
     "  0 Meta FF/03 [4] 4C 65 61 64\n"
     "  0 NoteOn 90 [2] 3C 64\n"
     "  268435455 ControlChange B0 [2] 07 64\n"
     "  536870910 ControlChange B0 [2] 07 64\n"
     "  805306365 ControlChange B0 [2] 07 64\n"
     "  1073741820 ControlChange B0 [2] 07 64\n"
     "  1342177275 ControlChange B0 [2] 07 64\n"
     "  1610612730 ControlChange B0 [2] 07 64\n"
     "  1879048185 ControlChange B0 [2] 07 64\n"
     "  2147483640 ControlChange B0 [2] 07 64\n"
     "  2147483647 ControlChange B0 [2] 0A 40\n"},
    {"wrong_chunk_id.mid", true, "Read Track 1...\nName: Lead\nFailed to Read Track 2\nRead Track End\n",
     kPlainLead},
    {"more_chunks_than_header_says.mid", true, "Read Track 1...\nName: Lead\nRead Track End\n", kPlainLead},
    // Missing tempo bytes count as 0 (07 A1 is 499968 microseconds); no tempo at all is an
    // infinite tempo.
    {"short_tempo.mid", true, "Read Track 1...\nSet BPM: 120.007683\nSet BPM: inf\nRead Track End\n",
     "track 1 \"\" content=1 polyphony=0\n"
     "  0 Meta FF/51 [2] 07 A1\n"
     "  960 Meta FF/51 [0]\n"
     "  960 Meta FF/2F [0]\n"},
    {"zero_tempo.mid", true, "Read Track 1...\nSet BPM: inf\nRead Track End\n",
     "track 1 \"\" content=1 polyphony=0\n"
     "  0 Meta FF/51 [3] 00 00 00\n"
     "  0 Meta FF/2F [0]\n"},
    {"time_signature_exponent_out_of_range.mid", true,
     "Read Track 1...\nSet Mesauge: 4/1073741824\nSet Mesauge: 4/0\nSet Mesauge: 3/0\nSet Mesauge: 0/1\n"
     "Read Track End\n",
     "track 1 \"\" content=1 polyphony=0\n"
     "  0 Meta FF/58 [4] 04 1E 18 08\n"
     "  1920 Meta FF/58 [4] 04 1F 18 08\n"
     "  3840 Meta FF/58 [4] 03 FF 18 08\n"
     "  5760 Meta FF/58 [0]\n"
     "  5760 Meta FF/2F [0]\n"},
};

class DamagedCorpus : public testing::TestWithParam<CorpusCase> {};

TEST_P(DamagedCorpus, KeepsExactlyWhatTheFileHolds) {
  const CorpusCase& c = GetParam();
  ReadSession session;
  EXPECT_EQ(session.read(kDamaged + c.file), c.ok);
  EXPECT_EQ(session.diagnostics(), c.diagnostics);
  EXPECT_EQ(describeTracks(session.app.project), c.tracks);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedCorpus, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CorpusCase>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           std::erase(name, '_');
                           return name;
                         });

TEST(DamagedCorpusFiles, EveryFileHasItsCaseAndEveryCaseItsFile) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(kDamaged)) {
    files.insert(entry.path().filename().string());
  }
  std::set<std::string> cases;
  for (const auto& c : kCases) cases.insert(c.file);
  EXPECT_EQ(files, cases);
}

// Under running status, the swallowed chunk's note-offs push the sounding count below zero, and
// the note-on that follows records the count it found.
TEST(DamagedCorpusFiles, SwallowedChunkDrivesTheNoteCountNegative) {
  ReadSession session;
  ASSERT_TRUE(session.read(kDamaged + "missing_end_of_track_before_next_track.mid"));
  const MidiTrack& track = session.track(0);
  const MidiEvent& noteOn = session.event(0, 8);
  ASSERT_EQ(describeEvent(noteOn), "17020 NoteOn 90 [2] 3C 64");
  EXPECT_EQ(noteOn.voice, -5);
  EXPECT_EQ(track.activeNotes, -5);
  EXPECT_EQ(track.maxPolyphony, 1);
}

TEST(DamagedCorpusFiles, TempoRecordsOfShortAndMissingTempoBytes) {
  ReadSession session;
  ASSERT_TRUE(session.read(kDamaged + "short_tempo.mid"));
  const auto& tempos = session.app.project.tempos;
  ASSERT_EQ(tempos.size(), 2u);
  EXPECT_EQ(tempos[0]->bpm, 60.0f / (499968.0f / 1000000.0f));
  EXPECT_TRUE(std::isinf(tempos[1]->bpm));
  EXPECT_EQ(tempos[1]->tick, 960);
}

}  // namespace
}  // namespace rendlow::test
