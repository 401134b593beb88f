// What the fidelity measure tells beyond its line: where the playback is silent though the song
// is heard, what it plays past the reference's end, each track's part of the chart, the tracks
// ranked worst first, and the warnings the figures give.

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/fidelity.h"
#include "audio/fidelity/fidelity_warnings.h"
#include "audio_test.h"
#include "support/case_table.h"

namespace rendlow::audio {
namespace {

constexpr int32_t kRate = 1000;  // a 50 ms stretch is 50 frames

// A mono sound at `level` (of full scale), `seconds` long: samples of that size and random sign,
// so every stretch holds the same energy and only one lag lines two of them up.
AudioBuffer tone(double seconds, float level) {
  std::minstd_rand signs(5);
  AudioBuffer buffer{kRate, 1, std::vector<float>(static_cast<std::size_t>(seconds * kRate))};
  for (float& sample : buffer.samples) sample = signs() % 2 ? level : -level;
  return buffer;
}

AudioBuffer withSilence(AudioBuffer buffer, double fromSeconds, double toSeconds) {
  for (auto i = static_cast<std::size_t>(fromSeconds * kRate); i < static_cast<std::size_t>(toSeconds * kRate); ++i)
    buffer.samples[i] = 0;
  return buffer;
}

// A sound as a column of data/silences.txt makes it.
AudioBuffer soundOf(const std::string& making) {
  std::istringstream words(making);
  std::string kind;
  double seconds = 0, level = 0;
  words >> kind >> seconds >> level;
  AudioBuffer sound = tone(seconds, static_cast<float>(level));
  double from = 0, to = 0;
  for (std::string change; words >> change >> from;) {
    if (change == "late") sound.samples.insert(sound.samples.begin(), static_cast<std::size_t>(from * kRate), 0.0f);
    if (change == "silent" && words >> to) sound = withSilence(sound, from, to);
  }
  return sound;
}

TEST(PlaybackAgainstReference, TellsWhereItIsSilentAndWhatItPlaysPastTheReference) {
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/silences.txt")) {
    SCOPED_TRACE(c.where);
    ASSERT_EQ(c.columns.size(), 6u);
    const AudioBuffer reference = soundOf(c.columns[2]);
    const FidelityFigures figures = comparePlayback(soundOf(c.columns[1]), reference);
    EXPECT_NEAR(figures.silentSeconds, std::stod(c.columns[3]), 1e-9);
    EXPECT_NEAR(figures.firstSilentSeconds, std::stod(c.columns[4]), 1e-9);
    EXPECT_NEAR(figures.unmeasuredSeconds, std::stod(c.columns[5]), 1e-9);
    EXPECT_NEAR(figures.referenceSeconds, static_cast<double>(reference.frames()) / kRate, 1e-9);
  }
}

// The warnings of each case of data/fidelity_warnings.txt, in full, against its golden file.
TEST(FidelityWarnings, EachFaultTheFiguresShowIsWarnedOfOnceSayingWhatToDo) {
  std::string told;
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/fidelity_warnings.txt")) {
    ASSERT_EQ(c.columns.size(), 7u) << c.where;
    FidelityFigures figures;
    figures.sampleRate = 44100;
    figures.lagFrames = std::stoll(c.columns[1]);
    figures.silentSeconds = std::stod(c.columns[2]);
    figures.firstSilentSeconds = 1.25;
    figures.unmeasuredSeconds = std::stod(c.columns[3]);
    figures.referenceSeconds = 3;
    figures.mixPeakDbfs = std::stod(c.columns[4]);
    told += "== " + c.columns[0] + "\n";
    const Notices warnings = fidelityWarnings(figures, c.columns[5], c.columns[6]);
    told += test::noticesText(warnings);
    // Where the synthesizer made the sounds and the reference alike, no warning, in either language,
    // has the author render a stem or a reference again (the golden file holds the English).
    for (const Notice& notice : warnings) {
      const std::string japanese = notice.message.in(Audience::JapaneseConsole);
      for (const char* asking : {"ステム", "書き出し直"}) {
        const bool asks = japanese.find(Message(asking, "").in(Audience::JapaneseConsole)) != std::string::npos;
        EXPECT_FALSE(asks && c.columns[6].empty()) << c.where << ": " << japanese;
      }
    }
  }
  rendlow::test::expectGolden(told, test::dataFile("fidelity_warnings_golden.txt"));
}

// The figures of each case of data/figure_lines.txt as one line, the song's or a track's.
TEST(FidelityLine, NamesEveryFigureOrATracksOwn) {
  std::string lines;
  for (const rendlow::test::CaseLine& c : rendlow::test::readCaseTable("audio/data/figure_lines.txt")) {
    ASSERT_EQ(c.columns.size(), 10u) << c.where;
    std::vector<double> v;
    for (int i = 0; i < 8; ++i) v.push_back(std::stod(c.columns[i]));
    const FidelityFigures figures{v[0], v[1], v[2], v[3], v[4], v[5], static_cast<int64_t>(v[6]), static_cast<int32_t>(v[7])};
    const Message line = c.columns[8].empty() ? fidelityLine(figures) : trackFidelityLine({c.columns[9], c.columns[8], figures});
    lines += test::english(line) + "\n";
  }
  rendlow::test::expectGolden(lines, test::dataFile("figure_lines_golden.txt"));
}

TEST(TrackFidelity, ATracksPartOfTheChartIsTheObjectsOfItsSoundFiles) {
  const ChartBackground chart{{{1, "tr01_01.wav"}, {2, "tr02_01.wav"}, {3, "tr01_02.wav"}, {4, "tr01_03.wav"}},
                              {{0, 1}, {0.5, 2}, {1, 3}, {1.5, 1}, {2, 2}, {2.5, 9}}};
  const ChartBackground part = partOf(chart, {"tr01_01.wav", "tr01_02.wav", "tr01_03.wav"});
  EXPECT_EQ(part.soundFiles, (std::map<int32_t, std::string>{{1, "tr01_01.wav"}, {3, "tr01_02.wav"}, {4, "tr01_03.wav"}}));
  std::vector<std::pair<double, int32_t>> objects;
  for (const BackgroundObject& object : part.objects) objects.emplace_back(object.seconds, object.wavId);
  EXPECT_EQ(objects, (std::vector<std::pair<double, int32_t>>{{0, 1}, {1, 3}, {1.5, 1}}));
}

TEST(TrackFidelity, TheTrackHeardFurthestOffComesFirst) {
  const auto track = [](const char* name, double spectralSnr, double distance) {
    TrackFidelity t{name, name, {}};
    t.figures.spectralSnrDb = spectralSnr;
    t.figures.logSpectralDistanceDb = distance;
    return t;
  };
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<std::string> order;
  for (const TrackFidelity& t : worstFirst({track("exact", inf, 0), track("faint tails", 38, 24),
                                            track("piano", 15.8, 1.5), track("bass", 15.8, 3), track("lost", 0, 80)}))
    order.push_back(t.definitionName);
  EXPECT_EQ(order, (std::vector<std::string>{"lost", "piano", "bass", "faint tails", "exact"}));
}

}  // namespace
}  // namespace rendlow::audio
