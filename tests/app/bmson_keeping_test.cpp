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

// The same job on the same song and edits, in a folder of its own: the chart from the song alone.
std::string freshBmson(std::initializer_list<const char*> edits) {
  JobRun fresh(kExampleSong);
  EXPECT_TRUE(fresh.run(bmsonRequest(edits)));
  return fresh.read(kChart);
}

JsonValue parsed(const std::string& text) {
  std::optional<JsonValue> value = parseJson(text);
  EXPECT_TRUE(value) << text;
  return value.value_or(JsonValue{});
}

JsonValue jsonOf(const std::string& text) { return parseJson(text).value(); }

JsonMember memberOf(const std::string& key, const std::string& value) { return {key, jsonOf(value)}; }

// The chart as an author leaves it: the last note of the first channel moved into lane 3 as a
// long note, a level, a subtitle, a title, a BGA picture and event, a field of the editor and a
// sound of the author's own.
struct EditedBmson {
  std::string text;
  std::string movedFrom;  // the channel the moved note stood in
  std::string movedTick;
};

EditedBmson editBmson(const std::string& written) {
  JsonValue doc = parsed(written);
  JsonValue& firstChannel = doc.member("sound_channels")->items.front();
  JsonValue& note = firstChannel.member("notes")->items.back();
  *note.member("x") = jsonOf("3");
  *note.member("l") = jsonOf("240");
  EditedBmson edited{"", *jsonStringText(*firstChannel.member("name")), note.member("y")->text};
  JsonValue& info = *doc.member("info");
  *info.member("level") = jsonOf("7");
  *info.member("title") = jsonOf("\"My Song\"");
  *info.member("artist") = jsonOf("\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\"");  // in UTF-8, as bmson holds texts
  info.members.push_back(memberOf("subtitle", "\"[ANOTHER]\""));
  JsonValue& bga = *doc.member("bga");
  bga.member("bga_header")->items.push_back(jsonOf("{\"id\": 1, \"name\": \"back.bmp\"}"));
  bga.member("bga_events")->items.push_back(jsonOf("{\"y\": 0, \"id\": 1}"));
  doc.members.push_back(memberOf("x_editor", "{\"zoom\": 2.50}"));
  doc.member("sound_channels")
      ->items.push_back(
          jsonOf("{\"name\": \"crash.wav\", \"notes\": [{\"x\": 1, \"y\": 0, \"l\": 0, \"c\": false}]}"));
  edited.text = formatJson(doc);
  return edited;
}

// The program's sound channels with every lane note put back into the background.
std::vector<JsonValue> inBackground(std::vector<JsonValue> channels) {
  for (JsonValue& channel : channels) {
    for (JsonValue& note : channel.member("notes")->items) {
      *note.member("x") = jsonOf("0");
      *note.member("l") = jsonOf("0");
    }
  }
  return channels;
}

struct LaneNote {
  std::string channel;
  JsonValue note;
};

std::vector<LaneNote> laneNotesOf(const JsonValue& doc) {
  std::vector<LaneNote> notes;
  for (const JsonValue& channel : doc.member("sound_channels")->items) {
    for (const JsonValue& note : channel.member("notes")->items)
      if (note.member("x")->text != "0") notes.push_back({*jsonStringText(*channel.member("name")), note});
  }
  return notes;
}

const std::initializer_list<const char*> kNewSlicing = {"0:wavDefinitionGap=5", "0:velocitySplitWidth=8"};

TEST(BmsonKeeping, TheAuthorsWorkSurvivesANewSlicingAndTheOldChartIsKept) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  const EditedBmson edited = editBmson(job.read(kChart));
  job.put(kChart, edited.text);

  const Result<JobReport> again = job.run(bmsonRequest(kNewSlicing));
  ASSERT_TRUE(again && again->output && again->output->ok());
  ASSERT_TRUE(again->output->keptChart);
  EXPECT_EQ(again->output->keptChart->backup, kChart + ".bak");
  EXPECT_EQ(job.read(kChart + ".bak"), edited.text);
  EXPECT_EQ(
      firstLine(again->output->keptChart->summary),
      "Kept your chart work: 1 object in lanes (moved to the new sounds), 4 header lines, 2 BGA lines; the "
      "chart as it was: " +
          kChart + ".bak");

  const JsonValue merged = parsed(job.read(kChart));
  const JsonValue fresh = parsed(freshBmson(kNewSlicing));
  const JsonValue before = parsed(edited.text);
  // The moved note is its note's, in that note's new channel, and that note's background note is gone.
  std::vector<JsonValue> channels = merged.member("sound_channels")->items;
  ASSERT_EQ(channels.back(), before.member("sound_channels")->items.back());
  channels.pop_back();
  EXPECT_EQ(inBackground(channels), fresh.member("sound_channels")->items);
  const std::vector<LaneNote> lane = laneNotesOf(merged);
  ASSERT_EQ(lane.size(), 2u);
  EXPECT_NE(lane[0].channel, edited.movedFrom);
  EXPECT_EQ(lane[0].note, jsonOf("{\"x\": 3, \"y\": " + edited.movedTick + ", \"l\": 240, \"c\": false}"));
  EXPECT_EQ(lane[1].channel, "crash.wav");

  const JsonValue& info = *merged.member("info");
  EXPECT_EQ(info.member("level")->text, "7");
  EXPECT_EQ(info.member("subtitle")->text, "[ANOTHER]");
  EXPECT_EQ(info.member("title")->text, "My Song");
  EXPECT_EQ(*info.member("init_bpm"), *fresh.member("info")->member("init_bpm"));
  EXPECT_EQ(*merged.member("bga"), *before.member("bga"));
  EXPECT_EQ(merged.member("x_editor")->member("zoom")->text, "2.50");
  EXPECT_EQ(*merged.member("lines"), *fresh.member("lines"));
  // The title typed in the editor is the setup's from now on.
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("t\tMy Song\na\t\x83\x65\x83\x58\x83\x67\n")),
            std::string::npos);
}

// Converted again with nothing changed, the merged chart is the program's: no second backup.
TEST(BmsonKeeping, TheMergedChartIsTheProgramsOnceWritten) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  job.put(kChart, editBmson(job.read(kChart)).text);
  ASSERT_TRUE(job.run(bmsonRequest(kNewSlicing)));
  const std::string merged = job.read(kChart);
  const Result<JobReport> again = job.run(bmsonRequest(kNewSlicing));
  ASSERT_TRUE(again && again->output);
  EXPECT_FALSE(again->output->keptChart);
  EXPECT_EQ(job.read(kChart), merged);
  EXPECT_FALSE(fs::exists(job.dir.file(kChart + ".bak2")));
}

TEST(BmsonKeeping, AChartNobodyTouchedIsReplacedByTheFreshOne) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  const Result<JobReport> again = job.run(bmsonRequest(kNewSlicing));
  ASSERT_TRUE(again && again->output && again->output->ok());
  EXPECT_FALSE(again->output->keptChart);
  EXPECT_EQ(job.read(kChart), freshBmson(kNewSlicing));
}

TEST(BmsonKeeping, ADamagedChartIsKeptAndReplaced) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  const std::string damaged = job.read(kChart).substr(0, 200);
  job.put(kChart, damaged);
  const Result<JobReport> again = job.run(bmsonRequest());
  ASSERT_TRUE(again && again->output && again->output->keptChart);
  EXPECT_EQ(job.read(kChart + ".bak"), damaged);
  EXPECT_EQ(job.read(kChart), freshBmson({}));
}

// A track switched off takes its notes away: the note placed in a lane is left out and listed by
// its measure, lane and tick in the measure.
TEST(BmsonKeeping, ALaneNoteWhoseNoteIsGoneIsLeftOut) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(bmsonRequest()));
  const EditedBmson edited = editBmson(job.read(kChart));
  job.put(kChart, edited.text);
  const Result<JobReport> again = job.run(bmsonRequest({"0:enabled=0", "1:enabled=0", "2:enabled=0"}));
  ASSERT_TRUE(again && again->output && again->output->keptChart);
  const int32_t tick = std::stoi(edited.movedTick);
  const std::vector<Measure>& measures = job.converted->measures.measures;
  const auto measure = std::find_if(measures.begin(), measures.end(), [&](const Measure& m) {
    return tick >= m.startTick && tick < m.endTick();
  });
  ASSERT_NE(measure, measures.end());
  ASSERT_EQ(again->output->keptChart->leftOut.size(), 1u);
  EXPECT_EQ(firstLine(again->output->keptChart->leftOut[0]),
            "  measure " + std::to_string(measure->index) + ", channel x=3, at " +
                std::to_string(tick - measure->startTick) + "/" + std::to_string(measure->length));
  EXPECT_EQ(laneNotesOf(parsed(job.read(kChart))).size(), 1u);
}

}  // namespace
}  // namespace rendlow::test
