// What the fidelity measure tells beyond its line: where the playback is silent though the song
// is heard, what it plays past the reference's end, each track's part of the chart, the tracks
// ranked worst first, and the warnings the figures give.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "audio/fidelity/chart_mix.h"
#include "audio/fidelity/fidelity.h"
#include "audio/fidelity/fidelity_warnings.h"
#include "audio_test.h"

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

TEST(PlaybackAgainstReference, TellsWhereItIsSilentAndWhatItPlaysPastTheReference) {
  const AudioBuffer song = tone(4, 0.5f);
  struct Case {
    const char* name;
    AudioBuffer playback;
    AudioBuffer reference;
    double silentSeconds;
    double firstSilentSeconds;
    double unmeasuredSeconds;
  };
  const std::vector<Case> cases{
      {"Faithful", song, song, 0, 0, 0},
      {"ASecondLost", withSilence(song, 1, 2), song, 1.0, 1.0, 0},
      {"LostWhereTheSongIsBarelyHeard", withSilence(song, 1, 2), tone(4, 0.005f), 0, 0, 0},
      {"NearlySilentIsStillHeard", song, withSilence(song, 2, 4), 0, 0, 0},
      {"TheReferenceStopsAfterOneSecond", song, tone(1, 0.5f), 0, 0, 3.0},
      {"TheReferenceOutlastsThePlayback", tone(1, 0.5f), song, 3.0, 1.0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FidelityFigures figures = comparePlayback(c.playback, c.reference);
    EXPECT_NEAR(figures.silentSeconds, c.silentSeconds, 1e-9);
    EXPECT_NEAR(figures.firstSilentSeconds, c.firstSilentSeconds, 1e-9);
    EXPECT_NEAR(figures.unmeasuredSeconds, c.unmeasuredSeconds, 1e-9);
    EXPECT_NEAR(figures.referenceSeconds, static_cast<double>(c.reference.frames()) / kRate, 1e-9);
  }
}

TEST(PlaybackAgainstReference, WhatItPlaysPastTheEndIsCountedAfterLiningUp) {
  // Played 100 ms late and ringing on for 100 ms after the reference's end.
  AudioBuffer late = tone(2.2, 0.5f);
  AudioBuffer reference = tone(2, 0.5f);
  std::copy(reference.samples.begin(), reference.samples.end(), late.samples.begin() + 100);
  const FidelityFigures figures = comparePlayback(withSilence(late, 0, 0.1), reference);
  EXPECT_EQ(figures.lagFrames, 100);
  EXPECT_NEAR(figures.unmeasuredSeconds, 0.1, 1e-9);
}

FidelityFigures figuresWith(int64_t lagFrames, double silentSeconds, double unmeasuredSeconds, double peak) {
  FidelityFigures figures;
  figures.sampleRate = 44100;
  figures.lagFrames = lagFrames;
  figures.silentSeconds = silentSeconds;
  figures.firstSilentSeconds = 1.25;
  figures.unmeasuredSeconds = unmeasuredSeconds;
  figures.referenceSeconds = 3;
  figures.mixPeakDbfs = peak;
  return figures;
}

std::vector<std::string> headlines(const Notices& notices) {
  std::vector<std::string> lines;
  for (const Notice& notice : notices) {
    EXPECT_EQ(notice.kind, Notice::Kind::Warning);
    const std::string text = test::english(notice.message);
    lines.push_back(text.substr(0, text.find('\n')));
  }
  return lines;
}

TEST(FidelityWarnings, EachFaultTheFiguresShowIsWarnedOfOnce) {
  const double quiet = -6;
  const std::string mix = "mix.wav";
  using Lines = std::vector<std::string>;
  const std::vector<std::tuple<const char*, FidelityFigures, std::string, std::string, Lines>> cases{
      {"Faithful", figuresWith(0, 0, 0, quiet), "", mix, {}},
      {"TwentyMillisecondsLateIsInTime", figuresWith(882, 0, 0, quiet), "", mix, {}},
      {"TwentyMillisecondsEarlyIsInTime", figuresWith(-882, 0, 0, quiet), "", mix, {}},
      {"PastTwentyMilliseconds", figuresWith(883, 0, 0, quiet), "", mix,
       {"The chart's playback lags +20.02 ms behind the reference (more than 20 ms)"}},
      {"EarlyPastTwentyMilliseconds", figuresWith(-1323, 0, 0, quiet), "tr02", mix,
       {"Track tr02's sounds lag -30.00 ms behind the reference (more than 20 ms)"}},
      {"SilentInPlaces", figuresWith(0, 0.05, 0, quiet), "tr01", mix,
       {"Track tr01's sounds are silent for 0.050 s where the reference is heard, first at 1.250 s"}},
      {"ARingingTailPastTheEnd", figuresWith(0, 0, 1.0, quiet), "", mix, {}},
      {"AReferenceStoppingEarly", figuresWith(0, 0, 14.2, quiet), "", mix,
       {"The reference is shorter than the song"}},
      {"TheSynthesizersReferenceNeverStopsEarly", figuresWith(0, 0, 14.2, quiet), "", "", {}},
      {"AtFullScale", figuresWith(0, 0, 0, 0), "", mix, {}},
      {"Clipping", figuresWith(0, 0, 0, 15.6), "", mix,
       {"The chart's sounds together peak at +15.6 dBFS: played, they clip"}},
      {"ATrackAloneIsNotWhatClips", figuresWith(0, 0, 0, 15.6), "tr01", mix, {}},
      {"Everything", figuresWith(19845, 2, 3, 1), "", mix,
       {"The chart's playback is silent for 2.000 s where the reference is heard, first at 1.250 s",
        "The chart's playback lags +450.00 ms behind the reference (more than 20 ms)",
        "The reference is shorter than the song", "The chart's sounds together peak at +1.0 dBFS: played, they clip"}},
  };
  for (const auto& [name, figures, track, reference, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(headlines(fidelityWarnings(figures, track, reference)), expected);
  }
}

TEST(FidelityWarnings, SayWhatToDo) {
  const Notices warnings = fidelityWarnings(figuresWith(19845, 2, 3, 1), "", "mix.wav");
  ASSERT_EQ(warnings.size(), 4u);
  EXPECT_TRUE(test::says(warnings[0].message, "--compare-tracks measures each track alone"));
  EXPECT_TRUE(test::says(warnings[1].message, "Render the reference again from the very start of the song"));
  EXPECT_TRUE(test::says(warnings[2].message, "File: mix.wav\nIt lasts 3.000 s, and the chart's playback sounds "
                                              "3.000 s more, which no figure covers."));
  EXPECT_TRUE(test::says(warnings[3].message, "below 0 dBFS"));
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

TEST(TrackFidelity, OneLineNamesTheTrackAndItsFigures) {
  TrackFidelity track{"Lead", "tr02", {}};
  track.figures = {9.184, 36.21, 20, 7.1, 25.06, -3, 0, 44100};
  EXPECT_EQ(trackFidelityLine(track).in(Audience::EnglishConsole),
            "tr02 (Lead): log-spectral distance 9.18 dB, spectral SNR 36.2 dB, worst 50 ms at 7.100 s (25.1 dB)");
}

}  // namespace
}  // namespace rendlow::audio
