// What an output converts: the song read at load with the settings edited since, never the file
// as it stands at the time of the output; and, as ever, the song as a second reading saw it. What
// an output may not replace: a read-only file, a folder, a pipe.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "app/load_flow.h"
#include "app/output_flow.h"
#include "app/paths.h"
#include "job_fixture.h"
#include "support/case_table.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

TEST(OutputPlan, ConvertsTheSongReadAtLoadEvenWhenTheFileIsGoneSince) {
  JobRun job(kExampleSong);
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  std::filesystem::remove(job.dir.file("song.mid"));
  const Result<OutputResult> output = runOutput(job.app, {"song_out.mid", {}, OutputChoice::MidiOnly});
  ASSERT_TRUE(output && output->ok());
  EXPECT_TRUE(output->renderingWritten());
}

// A plan is a value: two plans of one request give the same bytes, and neither writes a file or
// changes what the project holds; the header asked for is the plan's, and the project's once written.
TEST(OutputPlan, PlanningChangesNothingAndTwoPlansAgree) {
  JobRun job(kExampleSong);
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  TrackSettings edited = job.app.rowSettings(0);
  edited.gridUnit = 480;
  ASSERT_TRUE(job.app.applyRowSettings(0, edited));
  const std::vector<TrackSettings> settingsBefore = job.app.project.settings;
  const std::string titleBefore = job.app.project.chartHeader.title,
                    outputBefore = job.app.project.outputPath;
  const OutputRequest asked{"song_out.mid", {"G", "T", "A"}, OutputChoice::MidiAndChart};
  const Result<OutputTargets> targets = planTargets(job.app, asked);
  ASSERT_TRUE(targets);
  const Result<OutputPlan> first = planOutput(job.app, asked, *targets, job.app.diagnostics);
  const Result<OutputPlan> second = planOutput(job.app, asked, *targets, job.app.diagnostics);
  ASSERT_TRUE(first && second);
  const auto* pair = std::get_if<PairOutput>(&first->outcome);
  const auto* again = std::get_if<PairOutput>(&second->outcome);
  ASSERT_TRUE(pair && again && pair->rendering && pair->chart);
  EXPECT_EQ(*pair->rendering, *again->rendering);
  EXPECT_EQ(*pair->chart, *again->chart);
  EXPECT_EQ(job.app.project.settings, settingsBefore);
  EXPECT_EQ(std::tie(job.app.project.chartHeader.title, job.app.project.outputPath),
            std::tie(titleBefore, outputBefore));
  for (const char* name : {"song_out.mid", "song.txt", "song_out.bme"})
    EXPECT_FALSE(fs::exists(job.dir.file(name))) << name;
  ASSERT_TRUE(runOutput(job.app, asked));
  EXPECT_EQ(job.app.project.chartHeader.title, "T");
  EXPECT_EQ(job.read("song_out.bme"), withPlatformLineEnds(*pair->chart));
}

// Each output of a song and its chart, by the name it takes beside song.mid.
const char* const kOutputNames[] = {"song_out.mid", "song.txt", "song_out.bme"};

// A refused output writes none of the three files; a file that stood there keeps its bytes.
void expectRefusedWithNothingWritten(JobRun& job, const std::string& says,
                                     const std::string& outputName = "song_out.mid") {
  WorkingFolder here(job.dir.path());
  ASSERT_TRUE(loadFile(job.app, job.form, "song.mid"));
  const Result<OutputResult> output = runOutput(job.app, {outputName, {}, OutputChoice::MidiAndChart});
  ASSERT_FALSE(output);
  EXPECT_EQ(firstLine(output.problem().message), says);
  for (const char* name : kOutputNames)
    if (fs::is_regular_file(job.dir.file(name))) {
      EXPECT_EQ(job.read(name), "old") << name;
    }
}

// Root may write a file its owner made read-only; the program must not, whoever runs it. Nor may
// an output replace a folder or a pipe, whichever of the three it stands in for.
TEST(OutputPlan, AReadOnlyFileAFolderOrAPipeWhereAnOutputGoesIsRefused) {
  constexpr auto kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  for (const char* name : kOutputNames) {
    SCOPED_TRACE(name);
    JobRun locked(kExampleSong), folder(kExampleSong);
    locked.put(name, "old");
    fs::permissions(locked.dir.file(name), kWrite, fs::perm_options::remove);
    expectRefusedWithNothingWritten(locked, "Nothing was written: an output file is read-only.");
    fs::permissions(locked.dir.file(name), fs::perms::owner_write, fs::perm_options::add);
    fs::create_directory(folder.dir.file(name));
    expectRefusedWithNothingWritten(folder, "Nothing was written: an output is not a regular file.");
    EXPECT_TRUE(fs::is_directory(folder.dir.file(name)));
  }
#ifdef _WIN32
  JobRun named(kExampleSong);
  expectRefusedWithNothingWritten(
      named, "Nothing was written: an output's name holds a character a file name cannot.", "busy?out*.mid");
#else
  JobRun job(kExampleSong);
  ASSERT_EQ(mkfifo(job.dir.file("song_out.bme").c_str(), 0644), 0);
  expectRefusedWithNothingWritten(job, "Nothing was written: an output is not a regular file.");
  EXPECT_EQ(fs::status(job.dir.file("song_out.bme")).type(), fs::file_type::fifo);
#endif
}

TEST(OutputPlan, ASongThatDidNotReadIsRefusedWithTheReasonOfItsLoad) {
  JobRun job;
  WorkingFolder here(job.dir.path());
  ASSERT_FALSE(loadFile(job.app, job.form, "missing.mid"));
  const Result<OutputResult> output = runOutput(job.app, {"out.mid", {}, OutputChoice::MidiAndChart});
  ASSERT_FALSE(output);
  EXPECT_EQ(firstLine(output.problem().message), "Nothing was written: the MIDI file cannot be read.");
}

// A first track that opens with data bytes and a last one that ends on a note-on without its end
// of track: a second reading takes the note-on's status for the opening bytes.
TEST(OutputPlan, ConvertsTheSongAsASecondReadingSeesIt) {
  JobRun fresh(appSong("opening_with_data_bytes.mid"));
  JobRequest job = request("song.mid");
  job.output = OutputChoice::MidiOnly;
  ASSERT_TRUE(fresh.run(job));
  // An application that has read the file once reads it the second way from the start.
  JobRun readBefore(appSong("opening_with_data_bytes.mid"));
  ASSERT_TRUE(readBefore.app.readMidiFile(readBefore.dir.file("song.mid")));
  ASSERT_TRUE(readBefore.run(job));
  EXPECT_EQ(fresh.read("song_out.mid"), readBefore.read("song_out.mid"));
}

// A song without a note and a skipped Set Tempo of 0 (damage read past) are told; the files are
// written all the same. The skipped tempo is told with its track and tick, and leaves no infinite
// tempo in the chart. (A song with neither tells nothing: the golden jobs.)
TEST(OutputPlan, WarnsOfDamageAndOfASongWithoutNotes) {
  MidiBuilder song;
  song.track().name("Conductor").tempo(0, 0).endOfTrack(1920);
  song.track().name("Lead").controlChange(0, 0, 7, 100).endOfTrack(1920);
  JobRun job(song.bytes());
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output);
  const OutputResult& output = *report->output;
  ASSERT_EQ(output.warnings.size(), 2u);
  EXPECT_EQ(output.told().size(), 2u);
  EXPECT_EQ(firstLine(output.warnings[1].message), "The song has no notes.");
  EXPECT_TRUE(output.ok() && output.renderingWritten() && output.chart && output.chart->status);
  const std::string& text = output.warnings[0].message.in(Audience::EnglishConsole);
  EXPECT_TRUE(text.starts_with("The MIDI file is damaged.")) << text;
  EXPECT_NE(text.find("track 1 \"Conductor\": the Set Tempo at tick 0 is 0 microseconds per quarter note, "
                      "which is no tempo. It was skipped."),
            std::string::npos)
      << text;
  const std::string chart = job.read("song_out.bme");
  EXPECT_NE(chart.find("#BPM 120.000000"), std::string::npos) << chart;
  EXPECT_EQ(chart.find("inf"), std::string::npos);
}

// Over 1,300 notes of distinct pitch and length: more sounds than ids a chart can name.
// After an output whose chart stood, one whose chart a limit refuses: the rendering file and the
// chart on disk stay the pair written before, and the settings file keeps the edit. Without a
// chart asked for, the rendering file is written alone.
TEST(OutputPlan, AChartPastItsIdsHoldsBackItsRenderingFileAndSavesTheSettingsAlone) {
  for (const bool chartAsked : {true, false}) {
    SCOPED_TRACE(chartAsked);
    JobRun job(appSong("past_its_ids.mid"));
    job.put("song_out.mid", "old");
    job.put("song_out.bme", "old");
    JobRequest asked = request("song.mid", {"0:definitionName=kept"});
    asked.output = chartAsked ? OutputChoice::MidiAndChart : OutputChoice::MidiOnly;
    const Result<JobReport> report = job.run(asked);
    ASSERT_TRUE(report && report->output);
    const OutputResult& output = *report->output;
    EXPECT_EQ(std::tuple(output.ok(), output.renderingWritten(), output.pairRefused),
              std::tuple(!chartAsked, !chartAsked, chartAsked));
    EXPECT_EQ(job.read("song_out.mid") != "old", !chartAsked);
    EXPECT_EQ(job.read("song_out.bme"), "old");
    EXPECT_NE(job.read("song.txt").find("\tkept\t"), std::string::npos) << job.read("song.txt");
  }
}

TEST(OutputPaths, AnOutputNameEndingInASeparatorIsTheFolderOfTheProposedFile) {
  for (const CaseLine& c : readCaseTable("app/data/output_folders.txt"))
    EXPECT_EQ(renderingPathFor(c.columns[0], "in/song.mid"), c.columns[1]) << c.where;
}

TEST(OutputPaths, ABmsonNameIsTheChartAndItsStemTheRenderingFile) {
  for (const CaseLine& c : readCaseTable("app/data/output_names.txt")) {
    const OutputPaths paths = outputPathsFor("song.mid", c.columns[0], c.columns[1] == "yes");
    const std::optional<std::string> chart = c.columns[3] == "-" ? std::nullopt : std::optional(c.columns[3]);
    const ChartFormat format = c.columns[4] == "bmson" ? ChartFormat::Bmson : ChartFormat::Bme;
    EXPECT_EQ(std::tuple(paths.named, paths.rendering, paths.chart, paths.chartFormat),
              std::tuple(c.columns[0], c.columns[2], chart, format))
        << c.where;
  }
  // The name asking for the other format keeps its stem.
  EXPECT_EQ(withChartFormat("d/out.mid", ChartFormat::Bmson), "d/out.bmson");
  EXPECT_EQ(withChartFormat("d/out.bmson", ChartFormat::Bme), "d/out.mid");
  EXPECT_EQ(withChartFormat("d/out.mid", ChartFormat::Bme), "d/out.mid");
}

// A song in a read-only folder converts into another folder, its settings file with the chart;
// in a folder that can be written, the settings file stays beside the song.
TEST(OutputPlan, ASongInAReadOnlyFolderKeepsItsSettingsBesideTheChart) {
  struct Case {
    bool songFolderReadOnly;
    const char* settings;
    std::size_t warnings;
  };
  const Case cases[] = {{true, "charts/song.txt", 1}, {false, "album/song.txt", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.songFolderReadOnly);
#ifdef _WIN32
    // A folder's read-only attribute there only marks it for the shell: files are still made in it.
    if (c.songFolderReadOnly) continue;
#endif
    JobRun job;
    fs::create_directory(job.dir.file("album"));
    fs::create_directory(job.dir.file("charts"));
    writeBytes(job.dir.file("album/song.mid"), kExampleSong);
    WorkingFolder here(job.dir.path());
    ASSERT_TRUE(loadFile(job.app, job.form, "album/song.mid"));
    if (c.songFolderReadOnly)
      fs::permissions(job.dir.file("album"),
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    const Result<OutputResult> output =
        runOutput(job.app, {"charts/song_out.mid", {}, OutputChoice::MidiAndChart});
    fs::permissions(job.dir.file("album"), fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(output);
    EXPECT_TRUE(output->ok());
    EXPECT_EQ(output->settings->path, c.settings);
    EXPECT_TRUE(fs::is_regular_file(job.dir.file(c.settings)));
    ASSERT_EQ(output->warnings.size(), c.warnings);
    if (c.warnings == 0) continue;
    const std::string told = output->warnings[0].message.in(Audience::EnglishConsole);
    EXPECT_NE(told.find("saved beside the chart: charts/song.txt"), std::string::npos) << told;
    EXPECT_FALSE(fs::exists(job.dir.file("album/song.txt")));
  }
}

}  // namespace
}  // namespace rendlow::test
