#include "bms/bms_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bms/chart_building.h"
#include "bms/measure_grid.h"
#include "support/chart_text.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

constexpr const char* kHeader =
    "#PLAYER 1\n#GENRE TEMP\n#TITLE TEMP\n#ARTIST TEMP\n#BPM 120.000000\n#PLAYLEVEL 1\n#RANK 100\n#TOTAL "
    "100\n"
    "\n\n";

// Charts placed by hand: every object's measure and fraction as the chart building would give.
class BmsWriter : public ::testing::Test {
protected:
  BmsWriter() {
    project.header.division = 480;
    source->settings.definitionName = "piano";
    source->maxPolyphony = 3;
    chart->track = source;
    chart->firstWav = 1;
    project.tracks.push_back(source);
    project.chartTracks.push_back(chart);
  }

  void addNote(int32_t wav, int32_t measure, int32_t position, int32_t resolution, int32_t voice = 0) {
    auto note = std::make_shared<BMSNote>();
    note->wav = wav;
    note->fileNumber = wav;
    note->voice = voice;
    note->measureIndex = measure;
    note->position = position;
    note->resolution = resolution;
    chart->notes.push_back(note);
    chart->maxDefinition = std::max(chart->maxDefinition, wav - chart->firstWav);
  }

  void addTempo(int32_t index, float bpm) {
    auto tempo = std::make_shared<Tempo>();
    tempo->index = index;
    tempo->bpm = bpm;
    project.tempos.push_back(tempo);
  }

  void addBpmObject(int32_t tempoIndex, int32_t tick, int32_t measure, int32_t position, int32_t resolution) {
    auto bpm = std::make_shared<BMSBPM>();
    bpm->tempoIndex = tempoIndex;
    bpm->tick = tick;
    bpm->measureIndex = measure;
    bpm->position = position;
    bpm->resolution = resolution;
    project.chartBpms.push_back(bpm);
  }

  // The part of the chart after the definitions.
  std::string blocks() {
    const std::string text = formatBmsChart(project).text;
    const auto start = text.find("\n\n\n#000");
    return start == std::string::npos ? text : text.substr(start + 3);
  }

  Project project;
  std::shared_ptr<MidiTrack> source = std::make_shared<MidiTrack>();
  std::shared_ptr<BMSTrack> chart = std::make_shared<BMSTrack>();
};

TEST_F(BmsWriter, WritesTheWholeChartOfAChordTrack) {
  addNote(1, 0, 0, 1);
  addNote(2, 1, 1, 2);
  EXPECT_EQ(formatBmsChart(project).text, std::string(kHeader) +
                                              "\n"
                                              "#WAV01 piano_01.wav\n#WAV02 piano_02.wav\n"
                                              "\n\n"
                                              "#00001:01\n\n"
                                              "#00101:0002\n\n"
                                              "#00201:00\n\n");
}

TEST_F(BmsWriter, ASingleTrackWritesOneLinePerLane) {
  source->settings.splitMethod = 0;
  addNote(1, 0, 0, 1, 0);
  addNote(2, 1, 1, 2, 2);
  EXPECT_EQ(blocks(),
            "#00001:01\n#00001:00\n#00001:00\n\n"
            "#00101:00\n#00101:00\n#00101:0002\n\n"
            "#00201:00\n#00201:00\n#00201:00\n\n");
}

TEST_F(BmsWriter, TracksWithoutNotesInAMeasureWriteAnEmptyLineThere) {
  auto second = std::make_shared<BMSTrack>();
  auto secondSource = std::make_shared<MidiTrack>();
  secondSource->maxPolyphony = 1;
  secondSource->settings.definitionName = "bass";
  second->track = secondSource;
  second->firstWav = 5;
  auto note = std::make_shared<BMSNote>();
  note->wav = 5;
  note->fileNumber = 1;
  note->measureIndex = 2;
  note->resolution = 1;
  note->position = 0;
  second->notes.push_back(note);
  project.chartTracks.push_back(second);
  project.chartTracks.push_back(std::make_shared<BMSTrack>());  // a track that placed no note
  addNote(1, 0, 0, 1);
  const std::string text = formatBmsChart(project).text;
  EXPECT_NE(text.find("#WAV01 piano_01.wav\n#WAV05 bass_01.wav\n\n\n"), std::string::npos);
  EXPECT_EQ(blocks(),
            "#00001:01\n#00001:00\n\n"
            "#00101:00\n#00101:00\n\n"
            "#00201:00\n#00201:05\n\n"
            "#00301:00\n#00301:00\n\n");
}

TEST_F(BmsWriter, WavLinesNameTheLastFileOfEachIdAndMinusOneForAnUnusedId) {
  chart->firstWav = 1;
  addNote(10, 0, 0, 1);
  chart->notes.back()->fileNumber = 7;
  addNote(10, 0, 1, 2);
  chart->notes.back()->fileNumber = 3;
  addNote(2, 1, 0, 1);
  std::string out;
  writeWavDefinitions(*chart, out);
  EXPECT_EQ(out.substr(0, 40), "#WAV01 piano_-1.wav\n#WAV02 piano_02.wav\n");
  EXPECT_NE(out.find("#WAV0A piano_03.wav\n"), std::string::npos);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 10);
}

TEST_F(BmsWriter, TempoDefinitionsAndTheTempoChannel) {
  for (int i = 0; i < 17; ++i) addTempo(i, 100.0f + static_cast<float>(i));
  project.tempos[0]->bpm = 123.456f;
  project.tempos[1]->bpm = 128.125f;
  addBpmObject(0, 0, 0, 0, 1);
  addBpmObject(16, 2880, 1, 1, 2);
  addNote(1, 1, 0, 1);
  const std::string text = formatBmsChart(project).text;
  EXPECT_NE(text.find("#BPM 123.459999\n"), std::string::npos);
  EXPECT_NE(text.find("#TOTAL 100\n\n\n#BPM01 128.130005\n#BPM02 102.000000\n"), std::string::npos);
  EXPECT_NE(text.find("#BPM0G 116.000000\n\n#WAV01"), std::string::npos);
  EXPECT_EQ(blocks(), "#00001:00\n\n#00108:000G\n#00101:01\n\n#00201:00\n\n");
}

TEST_F(BmsWriter, ASongWithoutTempoChangesStartsAt120) {
  addNote(1, 0, 0, 1);
  const std::string text = formatBmsChart(project).text;
  EXPECT_EQ(text.substr(0, std::string(kHeader).size()), kHeader);
  EXPECT_EQ(text.find("08:"), std::string::npos);
}

TEST_F(BmsWriter, OnlyTheStartingTempoWritesNoTempoLine) {
  addTempo(0, 140.0f);
  addBpmObject(0, 0, 0, 0, 1);
  addNote(1, 0, 0, 1);
  const std::string text = formatBmsChart(project).text;
  EXPECT_NE(text.find("#BPM 140.000000\n"), std::string::npos);
  EXPECT_EQ(text.find("08:"), std::string::npos);
}

TEST_F(BmsWriter, WritesTheFileAtomicallyAndReportsWhyItCouldNot) {
  addNote(1, 0, 0, 1);
  test::TempDir dir;
  const std::string path = dir.file("song.bme");
  ASSERT_TRUE(writeBmsFile(project, path));
  EXPECT_EQ(test::readTextFile(path).substr(0, 10), "#PLAYER 1\n");
  const WriteStatus failed = writeBmsFile(project, dir.file("no-such-folder/song.bme"));
  EXPECT_FALSE(failed);
  EXPECT_FALSE(failed.reason.empty());
}

// The chart keeps every object where the plain lines would lose some.

TEST_F(BmsWriter, ATrackWhosePolyphonyStayedAtZeroStillWritesItsNotes) {
  source->maxPolyphony = 0;  // stray note-offs kept the count of sounding notes below 1
  addNote(1, 0, 1, 2);
  EXPECT_EQ(blocks(), "#00001:0001\n\n#00101:00\n\n");
}

TEST_F(BmsWriter, ASingleNoteWithAVoiceOutsideTheLanesGoesToTheNearestLane) {
  source->settings.splitMethod = 0;
  source->maxPolyphony = 2;
  addNote(1, 0, 0, 2, -1);
  addNote(2, 0, 1, 2, 5);
  EXPECT_EQ(blocks(), "#00001:0100\n#00001:0002\n\n#00101:00\n#00101:00\n\n");
}

TEST_F(BmsWriter, TwoChainsOnOneTickAreBothWritten) {
  addNote(1, 0, 1, 4);
  addNote(2, 0, 1, 4);
  addNote(3, 0, 1, 2);
  EXPECT_EQ(blocks(), "#00001:00010300\n#00001:00020000\n\n#00101:00\n\n");
}

TEST_F(BmsWriter, TempoChangesFromTwoTracksAreWrittenInTimeOrder) {
  for (int i = 0; i < 3; ++i) addTempo(i, 120.0f + static_cast<float>(10 * i));
  addBpmObject(0, 0, 0, 0, 1);  // first track: at 0 and in measure 2
  addBpmObject(1, 3840, 2, 0, 1);
  addBpmObject(2, 2400, 1, 1, 4);  // second track: in measure 1
  addNote(1, 3, 0, 1);
  EXPECT_EQ(blocks(),
            "#00001:00\n\n"
            "#00108:00020000\n#00101:00\n\n"
            "#00208:01\n#00201:00\n\n"
            "#00301:01\n\n"
            "#00401:00\n\n");
}

// The measure-length line follows the grid; past the grid it follows the time signatures at
// tick 0.

struct Signature {
  int32_t tick;
  int32_t numerator;
  int32_t denominator;
};

// The measure-length lines of every measure of the grid and of the one block after it.
std::string lengthLines(int16_t division, const std::vector<Signature>& signatures, int32_t songEnd) {
  Project project;
  project.header.division = division;
  for (const Signature& s : signatures) {
    auto beat = std::make_shared<Beat>();
    beat->tick = s.tick;
    beat->shiftedTick = s.tick;
    beat->numerator = s.numerator;
    beat->denominator = s.denominator;
    project.beats.push_back(beat);
  }
  project.songEnd = songEnd;
  buildMeasures(project);
  std::string out;
  for (int32_t m = 0; m <= static_cast<int32_t>(project.measures.size()); ++m) {
    writeMeasureLengthLine(project, out, m);
  }
  return out;
}

TEST(MeasureLengthLine, AThreeFourSectionAfterFourFour) {
  EXPECT_EQ(lengthLines(480, {{0, 4, 4}, {9600, 3, 4}}, 9600 + 2 * 1440),
            "#00502: 0.750000\n#00602: 0.750000\n");
}

TEST(MeasureLengthLine, AFirstTimeSignatureAfterTickZeroHoldsFromTheStart) {
  // The grid measures the first measure in 3/4 too, so the chart must say so.
  EXPECT_EQ(lengthLines(480, {{960, 3, 4}}, 2880), "#00002: 0.750000\n#00102: 0.750000\n");
}

TEST(MeasureLengthLine, FourFourAndUnusableSignaturesGetNoLine) {
  EXPECT_EQ(lengthLines(480, {{0, 2, 2}, {1920, 0, 4}}, 7680), "");
  EXPECT_EQ(lengthLines(480, {}, 7680), "");
  EXPECT_EQ(lengthLines(480, {{0, 0, 4}}, 7680), "");
}

TEST(MeasureLengthLine, TheBlockPastTheGridFollowsTheSignatureAtTickZero) {
  EXPECT_EQ(lengthLines(480, {{0, 3, 4}}, 1440), "#00002: 0.750000\n#00102: 0.750000\n");
  EXPECT_EQ(lengthLines(480, {{0, 4, 4}, {1920, 3, 4}}, 3360), "#00102: 0.750000\n");
}

TEST(MeasureLengthLine, AnOddDivisionWritesTheLengthTheGridTruncatedTo) {
  // 7/8 of 1916 ticks truncates to 1676 ticks in the grid; past it the plain ratio stands.
  EXPECT_EQ(lengthLines(479, {{0, 7, 8}}, 1676), "#00002: 0.874739\n#00102: 0.875000\n");
}

}  // namespace
}  // namespace rendlow
