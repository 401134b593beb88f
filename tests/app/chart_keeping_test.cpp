// A chart the author worked on survives a new slicing: objects moved into lanes play their note's
// new sound and leave the background, the author's lines stay, the old chart is kept beside the new
// one; a chart nobody touched is simply replaced.

#include "app/chart_keeping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "bms/chart_format.h"
#include "bms/chart_reader.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

// What a player plays of a chart: each object of the background and of the lanes an author moves
// sounds into (a long note by its start), by measure, place in it and sound file.
using Play = std::tuple<int32_t, double, std::string>;

bool sounds(int channel) {
  return channel == 1 || (channel >= 11 && channel <= 29 && channel % 10 != 0) ||
         (channel >= 51 && channel <= 59);
}

std::multiset<Play> playsOf(const std::string& text) {
  const ChartText chart = parseChartText(text);
  std::multiset<Play> plays;
  std::map<int, int> longNoteObjects;
  for (const ChannelLine& line : chart.lines) {
    if (!sounds(line.channel)) continue;
    const std::size_t slots = line.data.size() / 2;
    for (std::size_t slot = 0; slot < slots; ++slot) {
      const int32_t id = base36Id(std::string_view(line.data).substr(slot * 2, 2));
      if (id <= 0) continue;
      // A long note's end plays nothing of its own.
      if (line.channel >= 51 && longNoteObjects[line.channel]++ % 2 == 1) continue;
      const auto file = chart.wavById.find(id);
      plays.insert({line.measure, static_cast<double>(slot) / static_cast<double>(slots),
                    file == chart.wavById.end() ? "?" : file->second});
    }
  }
  return plays;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The chart as an editor leaves it: CR LF, the first objects of three background lines moved into
// lanes 13 to 15, one more made a long note on lane 51 (its end at the measure's last slot), the level and
// title changed, a stage picture, a BGA definition and line, and a sound of the author's own in the
// background and in lane 12.
struct EditedChart {
  std::string text;
  int32_t moved = 0;
};

EditedChart editChart(const std::string& written) {
  std::vector<std::string> lines = linesOf(written);
  EditedChart edited;
  std::vector<std::string> laneLines;
  for (std::string& line : lines) {
    if (line == "#PLAYLEVEL 1") line = "#PLAYLEVEL 7";
    // What earlier versions wrote, which the author did not choose.
    if (line == "#RANK 2") line = "#RANK 100";
    if (line == "#TITLE ") line = "#TITLE My Song";
    if (line == "#ARTIST ") line = "#ARTIST \x83\x65\x83\x58\x83\x67";  // in Shift_JIS, as editors save it
    if (edited.moved >= 5 || line.size() <= kChannelLineStartSize || line.substr(4, 3) != "01:") continue;
    const std::size_t slots = (line.size() - kChannelLineStartSize) / 2;
    for (std::size_t slot = 0; slot < slots; ++slot) {
      const std::size_t at = kChannelLineStartSize + slot * 2;
      const std::string id = line.substr(at, 2);
      if (id == "00") continue;
      const bool longNote = edited.moved == 3;
      if (longNote && slot + 1 == slots) break;
      std::string lane(slots * 2, '0');
      lane.replace(slot * 2, 2, id);
      if (longNote) lane.replace((slots - 1) * 2, 2, id);
      // A lane of its own for each, as two notes of one lane at one time play as one.
      laneLines.push_back(line.substr(0, 4) +
                          (longNote ? "51:" : "1" + std::to_string(3 + edited.moved) + ":") + lane);
      line.replace(at, 2, "00");
      edited.moved += longNote ? 2 : 1;
      break;
    }
  }
  const auto firstChannel = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.size() > kChannelLineStartSize && line[6] == ':';
  });
  lines.insert(firstChannel, {"#STAGEFILE stage.bmp", "#BMP01 back.bmp", "#WAVZZ crash.wav"});
  lines.insert(lines.end(), laneLines.begin(), laneLines.end());
  lines.insert(lines.end(), {"#00004:01", "#00012:ZZ", "#00001:00ZZ", "*---- my notes"});
  for (const std::string& line : lines) edited.text += line + "\r\n";
  return edited;
}

// The same job on the same song and edits, in a folder of its own: the chart from the song alone.
std::string freshChart(const std::initializer_list<const char*> edits) {
  JobRun fresh(kExampleSong);
  EXPECT_TRUE(fresh.run(request("song.mid", edits)));
  return fresh.read("song_out.bme");
}

std::multiset<Play> without(std::multiset<Play> plays, const std::string& file) {
  std::erase_if(plays, [&](const Play& play) { return std::get<2>(play) == file; });
  return plays;
}

TEST(ChartKeeping, AChartNobodyTouchedIsReplacedWithoutABackup) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const Result<JobReport> again = job.run(request("song.mid", {"1:velocitySplitWidth=8"}));
  ASSERT_TRUE(again && again->output && again->output->ok());
  EXPECT_FALSE(again->output->keptChart);
  EXPECT_FALSE(fs::exists(job.dir.file("song_out.bme.bak")));
  EXPECT_EQ(job.read("song_out.bme"), freshChart({"1:velocitySplitWidth=8"}));
}

// Every object of the program's sounds plays once, the moved ones in their lanes with their note's
// new sound; the author's lines stand; the old chart is kept byte for byte.
TEST(ChartKeeping, TheAuthorsWorkSurvivesANewSlicingAndTheOldChartIsKept) {
  const std::initializer_list<const char*> edits = {"0:wavDefinitionGap=5", "1:velocitySplitWidth=8"};
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const EditedChart edited = editChart(job.read("song_out.bme"));
  job.put("song_out.bme", edited.text);

  const Result<JobReport> again = job.run(request("song.mid", edits));
  ASSERT_TRUE(again && again->output && again->output->ok());
  ASSERT_TRUE(again->output->keptChart);
  EXPECT_EQ(again->output->keptChart->backup, "song_out.bme.bak");
  EXPECT_EQ(job.read("song_out.bme.bak"), edited.text);
  EXPECT_TRUE(again->output->warnings.empty());
  EXPECT_EQ(firstLine(again->output->keptChart->summary),
            "Kept your chart work: " + std::to_string(edited.moved) +
                " objects in lanes (moved to the new sounds), 5 header lines, 1 BGA line; the chart as it "
                "was: song_out.bme.bak");

  const std::string merged = job.read("song_out.bme");
  const std::string fresh = freshChart(edits);
  EXPECT_EQ(without(playsOf(merged), "crash.wav"), playsOf(fresh));
  exportKeptChartForInterop(job, fresh);
  // The author's header, BGA and comment lines stand once each, the rank the program's own.
  expectGoldenFile(job.dir.file("song_out.bme"),
                   std::string(RENDLOW_TEST_DATA_DIR) + "/app/data/kept_chart.bme", true);
  // The title typed in the editor is the setup's from now on.
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("t\tMy Song\na\t\x83\x65\x83\x58\x83\x67\n")),
            std::string::npos);
}

// Work taken in once stays the author's. Converted again unchanged, the merged chart is the
// program's and needs no backup; a later run that leaves its objects out (their tracks switched
// off) keeps it first, never over an older backup, and tells the objects left out as a warning.
TEST(ChartKeeping, WorkTakenInStaysTheAuthorsAcrossLaterRuns) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const EditedChart edited = editChart(job.read("song_out.bme"));
  job.put("song_out.bme", edited.text);
  job.put("song_out.bme.bak", std::string("an older backup"));
  ASSERT_TRUE(job.run(request("song.mid")));
  EXPECT_EQ(job.read("song_out.bme.bak"), "an older backup");
  EXPECT_EQ(job.read("song_out.bme.bak2"), edited.text);
  const std::string merged = job.read("song_out.bme");

  const Result<JobReport> unchanged = job.run(request("song.mid"));
  ASSERT_TRUE(unchanged && unchanged->output);
  EXPECT_FALSE(unchanged->output->keptChart);
  EXPECT_EQ(job.read("song_out.bme"), merged);

  const Result<JobReport> off = job.run(request("song.mid", {"0:enabled=0", "1:enabled=0", "2:enabled=0"}));
  ASSERT_TRUE(off && off->output && off->output->keptChart);
  EXPECT_EQ(job.read("song_out.bme.bak3"), merged);
  EXPECT_EQ(off->output->keptChart->leftOut.size(), static_cast<std::size_t>(edited.moved));
  ASSERT_EQ(off->output->warnings.size(), 2u);  // every track switched off, and the objects left out
  EXPECT_EQ(firstLine(off->output->warnings[1].message),
            "Kept your chart work: " + std::to_string(edited.moved) +
                " objects in lanes (0 moved to the new "
                "sounds, " +
                std::to_string(edited.moved) +
                " left out: their notes are gone), 5 header lines, 1 "
                "BGA line; the chart as it was: song_out.bme.bak3");
  const std::string replaced = job.read("song_out.bme");
  for (const char* lane : {"13:", "14:", "15:", "51:"})
    EXPECT_EQ(replaced.find(lane), std::string::npos) << lane;
  EXPECT_NE(replaced.find("#00012:ZZ"), std::string::npos);
}

TEST(ChartKeeping, AFreshChartComesFromTheSongAloneAndStillKeepsTheOldOne) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const std::string edited = editChart(job.read("song_out.bme")).text;
  job.put("song_out.bme", edited);
  JobRequest asked = request("song.mid");
  asked.freshChart = true;
  const Result<JobReport> again = job.run(asked);
  ASSERT_TRUE(again && again->output && again->output->keptChart);
  EXPECT_EQ(job.read("song_out.bme.bak"), edited);
  const std::string fresh = job.read("song_out.bme");
  EXPECT_EQ(playsOf(fresh), playsOf(freshChart({})));
  EXPECT_EQ(fresh.find("#STAGEFILE"), std::string::npos);
}

// A settings file from before digests were kept knows no chart: the one on disk is the author's.
TEST(ChartKeeping, WithoutADigestTheChartOnDiskIsTheAuthors) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const std::string settings = job.read("song.txt");
  job.put("song.txt", settings.substr(0, settings.find("h\t")));
  const std::string chart = job.read("song_out.bme");
  const Result<JobReport> again = job.run(request("song.mid"));
  ASSERT_TRUE(again && again->output && again->output->keptChart);
  EXPECT_EQ(job.read("song_out.bme.bak"), chart);
  EXPECT_EQ(job.read("song_out.bme"), chart);
  EXPECT_EQ(chartDigest("#00101:01\r\n#00201:02\r\n"), chartDigest("#00101:01\n#00201:02\n"));
}

// A song whose chart changes format keeps its author's lanes through both formats, and a player
// never finds the chart of the format left behind: it is in its backup alone.
TEST(ChartKeeping, AChartOfTheOtherFormatIsTakenInKeptAndTakenAway) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const EditedChart edited = editChart(job.read("song_out.bme"));
  job.put("song_out.bme", edited.text);
  JobRequest toBmson = request("song.mid");
  toBmson.chartFormat = ChartFormat::Bmson;
  const Result<JobReport> bmson = job.run(toBmson);
  ASSERT_TRUE(bmson && bmson->output && bmson->output->keptChart);
  EXPECT_FALSE(fs::exists(job.dir.file("song_out.bme")));
  EXPECT_EQ(job.read("song_out.bme.bak"), edited.text);
  // The stage picture, the BGA picture and line, and the comment have no place in bmson.
  const std::string summary = bmson->output->keptChart->summary.in(Audience::EnglishConsole);
  EXPECT_TRUE(summary.ends_with(
      "\nTook the work of song_out.bme into song_out.bmson and removed song_out.bme, so that a player does "
      "not "
      "list two charts of the song. 4 of its lines and objects (BGA, mines, invisible notes, other header "
      "lines) have no place in the new format and are kept in the chart as it was alone."))
      << summary;
  ASSERT_EQ(bmson->output->warnings.size(), 1u);
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("t\tMy Song\n")), std::string::npos);

  JobRequest toBme = request("song.mid", {"1:velocitySplitWidth=8"});
  toBme.chartFormat = ChartFormat::Bme;
  const Result<JobReport> back = job.run(toBme);
  ASSERT_TRUE(back && back->output && back->output->keptChart);
  EXPECT_FALSE(fs::exists(job.dir.file("song_out.bmson")));
  EXPECT_TRUE(fs::exists(job.dir.file("song_out.bmson.bak")));
  const std::string bme = job.read("song_out.bme");
  EXPECT_EQ(without(playsOf(bme), "crash.wav"), playsOf(freshChart({"1:velocitySplitWidth=8"})));
  for (const char* lane : {"13:", "14:", "15:", "51:", "12:"})
    EXPECT_NE(bme.find(lane), std::string::npos) << lane;
  EXPECT_NE(bme.find("#PLAYLEVEL 7"), std::string::npos);

  // A chart of the other format beside the one written stays, and is told.
  job.put("song_out.bmson", std::string("{}"));
  const Result<JobReport> beside = job.run(request("song.mid"));
  ASSERT_TRUE(beside && beside->output);
  ASSERT_FALSE(beside->output->warnings.empty());
  EXPECT_EQ(
      firstLine(beside->output->warnings.back().message),
      "song_out.bmson stands beside song_out.bme and plays the sounds of an earlier conversion; remove it "
      "if you no longer need it.");
  EXPECT_EQ(job.read("song_out.bmson"), "{}");
}

// The author's own sounds keep their ids; the program's pass over them.
TEST(ChartKeeping, TheProgramsIdsPassOverTheAuthorsOwn) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid")));
  const std::string written = job.read("song_out.bme");
  job.put("song_out.bme", written + "#WAV06 mine.wav\n#00211:06\n");
  ASSERT_TRUE(job.run(request("song.mid")));
  const std::string merged = job.read("song_out.bme");
  const ChartText chart = parseChartText(merged);
  const auto fileOf = [&](int32_t id) { return chart.wavById.contains(id) ? chart.wavById.at(id) : ""; };
  EXPECT_EQ(fileOf(5), "tr01_05.wav");
  EXPECT_EQ(fileOf(6), "mine.wav");
  EXPECT_EQ(fileOf(9), "tr02_01.wav");
  EXPECT_EQ(without(playsOf(merged), "mine.wav"), playsOf(written));
}

}  // namespace
}  // namespace rendlow::test
