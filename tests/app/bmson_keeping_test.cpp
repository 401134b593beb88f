// A bmson chart the author worked on survives a new slicing: a note placed in a lane keeps its lane
// and length and plays its note's new sound in place of that note's background note; the level,
// the BGA, the author's own sounds and fields of other programs stay; the old chart is kept.

#include <gtest/gtest.h>

#include <filesystem>

#include "bms/json.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

const std::string kChart = "song_out.bmson";

JobRequest bmsonRequest(std::initializer_list<const char*> edits = {}) {
  JobRequest asked = request("song.mid", edits);
  asked.outputPath = kChart;
  return asked;
}

JsonValue jsonOf(const std::string& text) { return parseJson(text).value(); }

JsonMember memberOf(const std::string& key, const std::string& value) { return {key, jsonOf(value)}; }

// The chart as an author leaves it: the last note of the first channel moved into lane 3 as a
// long note, a level, a subtitle, a title, a BGA picture and event, a field of the editor and a
// sound of the author's own.
std::string editBmson(const std::string& written) {
  JsonValue doc = jsonOf(written);
  JsonValue& note = doc.member("sound_channels")->items.front().member("notes")->items.back();
  *note.member("x") = jsonOf("3");
  *note.member("l") = jsonOf("240");
  JsonValue& info = *doc.member("info");
  *info.member("level") = jsonOf("7");
  *info.member("title") = jsonOf("\"My Song\"");
  *info.member("artist") =
      jsonOf("\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\"");  // in UTF-8, as bmson holds texts
  info.members.push_back(memberOf("subtitle", "\"[ANOTHER]\""));
  JsonValue& bga = *doc.member("bga");
  bga.member("bga_header")->items.push_back(jsonOf("{\"id\": 1, \"name\": \"back.bmp\"}"));
  bga.member("bga_events")->items.push_back(jsonOf("{\"y\": 0, \"id\": 1}"));
  doc.members.push_back(memberOf("x_editor", "{\"zoom\": 2.50}"));
  doc.member("sound_channels")
      ->items.push_back(
          jsonOf("{\"name\": \"crash.wav\", \"notes\": [{\"x\": 1, \"y\": 0, \"l\": 0, \"c\": false}]}"));
  return formatJson(doc);
}

const std::initializer_list<const char*> kNewSlicing = {"0:wavDefinitionGap=5", "0:velocitySplitWidth=8"};

// The merged chart is the golden file; then every track switched off takes the notes away, and
// the note placed in a lane is left out, listed by its measure, lane and tick in the measure.
TEST(BmsonKeeping, TheAuthorsWorkSurvivesANewSlicingAndTheOldChartIsKept) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  const std::string edited = editBmson(job.read(kChart));
  job.put(kChart, edited);

  const Result<JobReport> again = job.run(bmsonRequest(kNewSlicing));
  ASSERT_TRUE(again && again->output && again->output->ok() && again->output->keptChart);
  EXPECT_EQ(job.read(kChart + ".bak"), edited);
  EXPECT_EQ(
      firstLine(again->output->keptChart->summary),
      "Kept your chart work: 1 object in lanes (moved to the new sounds), 4 header lines, 2 BGA lines; the "
      "chart as it was: " +
          kChart + ".bak");
  expectGoldenFile(job.dir.file(kChart), std::string(RENDLOW_TEST_DATA_DIR) + "/app/data/kept_chart.bmson",
                   true);
  // The title typed in the editor is the setup's from now on.
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("t\tMy Song\na\t\x83\x65\x83\x58\x83\x67\n")),
            std::string::npos);

  const Result<JobReport> off = job.run(bmsonRequest({"0:enabled=0", "1:enabled=0", "2:enabled=0"}));
  ASSERT_TRUE(off && off->output && off->output->keptChart);
  ASSERT_EQ(off->output->keptChart->leftOut.size(), 1u);
  EXPECT_EQ(firstLine(off->output->keptChart->leftOut[0]), "  measure 3, channel x=3, at 0/1920");
  EXPECT_EQ(job.read(kChart).find("\"x\": 3"), std::string::npos);
  EXPECT_NE(job.read(kChart).find("crash.wav"), std::string::npos);
}

// A chart nobody touched is replaced by the fresh one; so is one that no longer reads, once kept.
TEST(BmsonKeeping, AChartNobodyTouchedOrDamagedIsReplacedByTheFreshOne) {
  JobRun fresh(kExampleSong);
  ASSERT_TRUE(fresh.run(bmsonRequest(kNewSlicing)));
  for (const bool damaged : {false, true}) {
    JobRun job(kExampleSong);
    ASSERT_TRUE(job.run(bmsonRequest()));
    const std::string cut = job.read(kChart).substr(0, 200);
    if (damaged) job.put(kChart, cut);
    const Result<JobReport> again = job.run(bmsonRequest(kNewSlicing));
    ASSERT_TRUE(again && again->output && again->output->ok());
    EXPECT_EQ(again->output->keptChart.has_value(), damaged);
    EXPECT_EQ(fs::exists(job.dir.file(kChart + ".bak")) ? job.read(kChart + ".bak") : "", damaged ? cut : "");
    EXPECT_EQ(job.read(kChart), fresh.read(kChart));
  }
}

}  // namespace
}  // namespace rendlow::test
