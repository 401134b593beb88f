// The whole job, as the command line and the desktop program run it: on whole songs compared byte
// for byte with golden files, every song convertible again from the settings file it wrote to the
// very same bytes; then what the output refuses before writing anything, what it tells after
// writing, and the files it stands by.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "app/output_flow.h"
#include "base/messages.h"
#include "job_fixture.h"

namespace rendlow::test {
namespace {

// Three tracks of one name and an unnamed one, each with its own notes, so that a settings file
// that gave every track the same line would show in the output.
Bytes songWithSharedAndMissingNames() {
  MidiBuilder song;
  song.track().name("Conductor").tempoBpm(0, 128).timeSignature(0, 4, 2).endOfTrack(0);
  for (int t = 0; t < 4; ++t) {
    TrackBuilder& track = song.track();
    if (t < 3) track.name("Guitar");
    for (int32_t tick = 0; tick < 3840; tick += 480) {
      const int pitch = 50 + t * 5 + tick / 480 % 3;
      track.noteOn(tick, t, pitch, 90).noteOff(tick + 240 + 60 * t, t, pitch);
    }
    track.endOfTrack(3840);
  }
  return song.bytes();
}

// A format 0 song, as karaoke files and game rips come: piano chords on channel 1, a bass on
// channel 2 and drums on channel 10, all in one track with the tempo changes.
Bytes formatZeroBand() {
  std::vector<std::array<int32_t, 5>> events;  // tick, -1 tempo, 0 note-off or 1 note-on, channel, note, velocity
  const auto hit = [&](int32_t tick, int32_t channel, int32_t note, int32_t velocity, int32_t length) {
    events.push_back({tick, 1, channel, note, velocity});
    events.push_back({tick + length, 0, channel, note, 0});
  };
  events.push_back({3840, -1, 0, 0, 0});
  for (int32_t at = 0; at < 7680; at += 1920) {
    for (const int32_t note : {60, 64, 67}) hit(at, 0, note + at / 1920 % 2 * 2, 80, 900);
    for (int32_t beat = at; beat < at + 1920; beat += 480) {
      hit(beat, 1, 36 + beat / 480 % 2 * 7, 100, 400);
      hit(beat, 9, beat / 480 % 2 ? 38 : 36, 110, 60);
      hit(beat + 240, 9, 42, 70, 60);
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1]; });
  MidiBuilder song(480, 0);
  TrackBuilder& track = song.track().name("All in one").tempoBpm(0, 120).timeSignature(0, 4, 2).programChange(0, 1, 33);
  for (const auto& [tick, kind, channel, note, velocity] : events) {
    if (kind < 0) track.tempoBpm(tick, 140);
    if (kind == 0) track.noteOff(tick, channel, note);
    if (kind == 1) track.noteOn(tick, channel, note, velocity);
  }
  track.endOfTrack(7680);
  return song.bytes();
}

// Played by hand, as a real song is: note-ons a few ticks off the beat, lengths and velocities
// that vary, and a 7/8 bar; then a plain bass to the end. Under it the tempo ramps from 64 to 200
// BPM in 96 steps, each a few thousandths above a value of two decimals, so a chart that rounded
// its tempos would drift from the song by milliseconds. Every object must sound at its note-on's
// exact time, not at a rounded slot or tempo.
Bytes humanizedRamp() {
  uint32_t seed = 12345;
  const auto jitter = [&seed](int32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 16) % static_cast<uint32_t>(2 * range + 1)) - range;
  };
  constexpr int32_t kHumanizedEnd = 16 * 1920;
  constexpr int32_t kEnd = 48 * 1920;
  MidiBuilder song(480);
  TrackBuilder& conductor = song.track().name("Conductor").timeSignature(0, 4, 2);
  for (int32_t step = 0; step < 96; ++step) {
    const int32_t tick = step * 960;
    if (tick == 7680) conductor.timeSignature(tick, 7, 3);
    if (tick == 7680 + 1920) conductor.timeSignature(tick, 4, 2);
    const double bpm = std::round((64.0 + step * 136.0 / 95.0) * 100.0) / 100.0 + 0.0049;
    conductor.tempo(tick, static_cast<uint32_t>(std::lround(60000000.0 / bpm)));
  }
  conductor.endOfTrack(kEnd);
  // tick, note-on (1) or note-off (0), channel, note, velocity
  using Event = std::array<int32_t, 5>;
  const auto play = [](TrackBuilder& track, std::vector<Event> events) {
    std::stable_sort(events.begin(), events.end(), [](const Event& x, const Event& y) { return x[0] < y[0]; });
    for (const auto& [tick, on, channel, note, velocity] : events) {
      if (on) track.noteOn(tick, channel, note, velocity);
      else track.noteOff(tick, channel, note);
    }
    track.endOfTrack(kEnd);
  };
  std::vector<Event> piano;
  for (int32_t beat = 0; beat * 480 < kHumanizedEnd; ++beat) {
    const int32_t on = std::max(0, beat * 480 + jitter(11));
    for (const int note : {60, 64, 67}) {
      const int32_t strum = on + (note - 60) / 4;
      piano.push_back({strum, 1, 0, note + beat % 3, 40 + (beat * 7 + note) % 60});
      piano.push_back({strum + 300 + jitter(40), 0, 0, note + beat % 3, 0});
    }
  }
  play(song.track().name("Piano"), piano);
  std::vector<Event> bass;
  for (int32_t eighth = 0; eighth * 240 < kHumanizedEnd; ++eighth) {
    const int32_t on = std::max(0, eighth * 240 + 3 + jitter(7));
    bass.push_back({on, 1, 1, 36 + eighth % 5, 70 + jitter(20)});
    bass.push_back({on + 120 + jitter(30), 0, 1, 36 + eighth % 5, 0});
  }
  for (int32_t tick = kHumanizedEnd; tick < kEnd; tick += 480) {
    bass.push_back({tick, 1, 1, 36 + tick / 480 % 3, 90});
    bass.push_back({tick + 240, 0, 1, 36 + tick / 480 % 3, 0});
  }
  play(song.track().name("Bass"), bass);
  return song.bytes();
}

// A format 1 song whose first track plays a lead besides the tempo map (a change to 150 BPM) and a
// 3/4 meter; a bass follows in the second.
Bytes songPlayingInItsFirstTrack() {
  MidiBuilder song;
  TrackBuilder& lead = song.track().name("Lead").tempoBpm(0, 120).timeSignature(0, 3, 2);
  for (int32_t tick = 0; tick < 5760; tick += 480) {
    if (tick == 2880) lead.tempoBpm(tick, 150);
    lead.noteOn(tick, 0, 72 + tick / 480 % 4, 100).noteOff(tick + 360, 0, 72 + tick / 480 % 4);
  }
  lead.endOfTrack(5760);
  TrackBuilder& bass = song.track().name("Bass");
  for (int32_t tick = 0; tick < 5760; tick += 1440) bass.noteOn(tick, 1, 36, 90).noteOff(tick + 960, 1, 36);
  bass.endOfTrack(5760);
  return song.bytes();
}

struct GoldenCase {
  const char* folder;
  const char* input;
  Bytes song;
  JobRequest job;
  const char* chart = "_out.bme";
};

JobRequest asBmson(JobRequest job) {
  job.chartFormat = ChartFormat::Bmson;
  job.title = "\x83\x4d\x83\x5e\x81\x5b \"live\"";  // ギター "live", in code page 932
  return job;
}

TEST(GoldenJob, EachSongAsTheGoldenFilesHoldItAndAgainFromItsSettingsFile) {
  // Piano: the louder bar becomes sounds of its own, on a grid of a bar. Lead: whole legato
  // phrases, split by volume and pan, whatever the tempo. Drums: every hit its own object, close
  // hits on definitions of their own, a wider id gap.
  JobRequest edited =
      request("example_song.mid",
              {"0:definitionName=piano", "0:velocitySplitWidth=16", "0:gridUnit=1920", "1:definitionName=lead",
               "1:splitMethod=2", "1:ccSplitWidth=32", "1:ignoreBpm=1", "2:definitionName=drums", "2:splitMethod=0",
               "2:multipleThreshold=600", "2:wavDefinitionGap=5"});
  edited.genre = "Demo";
  edited.title = "Example Song";
  edited.artist = "Rendlow";
  const GoldenCase cases[] = {
      {"default", "example_song", kExampleSong, request("example_song.mid")},
      {"edited", "example_song", kExampleSong, edited},
      // A format 0 song gets a row and a family of sounds per channel.
      {"format0", "song", formatZeroBand(), request("song.mid")},
      // Each track of a shared name keeps its own line of the settings file.
      {"names", "song", songWithSharedAndMissingNames(),
       request("song.mid", {"0:noteInterval=240", "1:splitMethod=0", "2:velocitySplitWidth=8", "3:gridUnit=480"})},
      {"humanized", "song", humanizedRamp(), request("song.mid", {"1:splitMethod=0", "1:velocitySplitWidth=32"})},
      // The first track's notes are a row of their own, and it keeps the song's tempos and meter.
      {"firsttrack", "song", songPlayingInItsFirstTrack(), request("song.mid", {"0:definitionName=lead"})},
      // Every object on its tick in pulses of the song's division, every tempo unrounded, the
      // title in UTF-8; converted again from its settings file, it is a bmson chart again.
      {"bmson", "song", humanizedRamp(), asBmson(request("song.mid", {"1:splitMethod=0", "1:velocitySplitWidth=32"})), "_out.bmson"},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string input(c.input);
    const std::string outputs[] = {input + "_out.mid", input + ".txt", input + c.chart};
    JobRun job;
    job.put(input + ".mid", c.song);
    const Result<JobReport> report = job.run(c.job);
    ASSERT_TRUE(report && report->output && report->output->notices.empty());
    for (const std::string& name : outputs)
      expectGoldenFile(job.dir.file(name), kGoldenDir + "/" + c.folder + "/" + name, !name.ends_with(".mid"));
    exportJobForInterop(job, input);
    // Converted again from the settings file it wrote, the song gives the very same bytes.
    JobRun again;
    again.put(input + ".mid", c.song);
    again.put(input + ".txt", job.read(input + ".txt"));
    ASSERT_TRUE(again.run(request(input + ".txt")));
    for (const std::string& name : outputs) EXPECT_EQ(again.read(name), job.read(name)) << name;
  }
}

namespace fs = std::filesystem;

// The files in the job's folder besides the song, by name.
std::vector<std::string> written(const JobRun& job) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(job.dir.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::erase(names, "song.mid");
  return names;
}

JobRequest withOutput(JobRequest request, const char* outputPath) {
  request.outputPath = outputPath;
  return request;
}

TEST(OutputFlow, RefusesBeforeWritingAnythingWhenFilesWouldMeetOrSoundsShareNames) {
  const std::pair<JobRequest, const char*> cases[] = {
      // a hard link to the song, the chart and the settings file over the rendering file
      {withOutput(request("song.mid"), "link.mid"),
       "Nothing was written: an output would replace the input MIDI file."},
      {withOutput(request("song.mid"), "out.bme"), "Nothing was written: two outputs would be one file."},
      {withOutput(request("song.mid"), "song.txt"), "Nothing was written: two outputs would be one file."},
      {request("song.mid", {"1:definitionName=tr01"}), "Nothing was written: two tracks share a definition name."},
      // One file on Windows.
      {request("song.mid", {"1:definitionName=TR01"}),
       "Nothing was written: two tracks share a definition name."},
  };
  for (const auto& [job, says] : cases) {
    SCOPED_TRACE(says);
    JobRun run(kExampleSong);
    fs::create_hard_link(run.dir.file("song.mid"), run.dir.file("link.mid"));
    const Result<JobReport> report = run.run(job);
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->output);
    EXPECT_EQ(firstLine(report->output.problem().message), says);
    EXPECT_EQ(written(run), std::vector<std::string>{"link.mid"});
    EXPECT_EQ(readBytes(run.dir.file("song.mid")), kExampleSong);
  }
}

// A track left out is converted by no one: its name may be another's, and it stays out when the
// song is converted again from its settings.
TEST(Job, AnUncheckedRowMayShareItsNameAndStaysOutWhenConvertedAgain) {
  JobRun job(kExampleSong);
  const Result<JobReport> report = job.run(request("song.mid", {"1:definitionName=tr01", "1:enabled=0"}));
  ASSERT_TRUE(report && report->output && report->output->ok());
  EXPECT_EQ(job.app.project.convertedTracks().size(), 3u);  // the conductor and two rows
  EXPECT_NE(job.read("song.txt").find(withPlatformLineEnds("\ttr01\t0\t960\t0\t1\t0\t0\t0\t0\t2\t0\t0\n")),
            std::string::npos);
  ASSERT_TRUE(job.run(request("song.mid")));
  EXPECT_FALSE(job.app.rowSettings(1).enabled);
  EXPECT_EQ(job.app.project.convertedTracks().size(), 3u);
}

// Five tracks after the conductor, three of one name; the damaged file ends after the third.
TEST(Job, ADamagedSongKeepsTheSettingsOfTheTracksItLostUntilTheWholeSongReadsAgain) {
  const auto song = [](std::size_t tracks) {
    MidiBuilder builder;
    builder.track().name("Conductor").tempoBpm(0, 120).endOfTrack(0);
    const char* names[] = {"Piano", "Bass", "Bass", "Drums", "Bass"};
    for (std::size_t t = 0; t < tracks; ++t)
      builder.track().name(names[t]).noteOn(0, 0, 60, 90).noteOff(240, 0, 60).endOfTrack(480);
    return builder.trackCount(6).bytes();
  };
  JobRun job(song(5));
  ASSERT_TRUE(
      job.run(request("song.mid", {"2:noteInterval=100", "3:noteInterval=200", "4:noteInterval=300"})));
  const std::string saved = job.read("song.txt");

  job.put("song.mid", song(3));
  const Result<JobReport> damaged = job.run(request("song.mid"));
  ASSERT_TRUE(damaged && damaged->output);
  ASSERT_EQ(damaged->output->notices.size(), 1u);
  EXPECT_EQ(firstLine(damaged->output->notices[0].message), "The MIDI file is damaged.");
  EXPECT_EQ(job.app.project.listedTracks().size(), 3u);
  EXPECT_EQ(job.read("song.txt"), saved);

  job.put("song.mid", song(5));
  ASSERT_TRUE(job.run(request("song.mid")));
  EXPECT_EQ(job.read("song.txt"), saved);
  for (const auto& [row, interval] : {std::pair(2, 100), std::pair(3, 200), std::pair(4, 300)})
    EXPECT_EQ(job.app.rowSettings(row).noteInterval, interval) << row;
}

TEST(OutputFlow, ADamagedSongIsConvertedAsFarAsItWasReadAndTheDamageTold) {
  JobRun job(Bytes(kExampleSong.begin(), kExampleSong.begin() + 300));
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output);
  const OutputResult& output = *report->output;
  ASSERT_EQ(output.notices.size(), 1u);
  EXPECT_EQ(output.notices[0].kind, Notice::Kind::Warning);
  const std::string& told = output.notices[0].message.in(Audience::EnglishConsole);
  EXPECT_EQ(firstLine(output.notices[0].message), "The MIDI file is damaged.");
  EXPECT_NE(told.find("the file ends inside it"), std::string::npos) << told;
  EXPECT_NE(told.find("the file ends after 2"), std::string::npos) << told;
}

TEST(OutputFlow, AFileThatCannotBeWrittenIsToldAndTheOthersAreStillWritten) {
  JobRun job(kExampleSong);
  const Result<JobReport> report = job.run(withOutput(request("song.mid"), "missing/folder/out.mid"));
  ASSERT_TRUE(report && report->output);
  const OutputResult& output = *report->output;
  EXPECT_FALSE(output.ok());
  EXPECT_EQ(std::tuple(output.midi->status.ok(), output.settings->status.ok(), output.chart->status.ok()),
            std::tuple(false, true, false));
  ASSERT_EQ(output.notices.size(), 2u);
  EXPECT_EQ(firstLine(output.notices[0].message), "The rendering MIDI file could not be written.");
  EXPECT_EQ(firstLine(output.notices[1].message), "The chart could not be written.");
  // The settings file names no rendering file, as none was written.
  EXPECT_TRUE(job.read("song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\t\n")));
}

TEST(OutputFlow, ATrackTooComplexToLayOutStopsTheOutputNamingIt) {
  // Two thousand notes, each held to the end: every sound overlaps every other.
  MidiBuilder builder;
  TrackBuilder& track = builder.track().name("Pad");
  for (int n = 0; n < 2000; ++n) track.noteOn(n * 10, 0, n % 128, 1 + n % 127);
  track.endOfTrack(30000);
  JobRun job(builder.bytes());
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && !report->output);
  EXPECT_NE(report->output.problem().message.in(Audience::EnglishConsole).find("track 1 \"Pad\""),
            std::string::npos);
  EXPECT_TRUE(written(job).empty());
}

TEST(OutputFlow, SavingTheSettingsReadsNothingAndWritesOnlyTheSettingsFile) {
  JobRun job(kExampleSong);
  JobRequest save = withOutput(request("song.mid", {"0:noteInterval=480"}), "other.mid");
  save.output = OutputChoice::SettingsOnly;
  ASSERT_TRUE(job.run(save));
  EXPECT_EQ(written(job), std::vector<std::string>{"song.txt"});
  EXPECT_TRUE(
      job.read("song.txt").starts_with(withPlatformLineEnds("i\tsong.mid\no\tother.mid\ntr\tPiano\ttr01\t0\t480")));
}

TEST(Job, ASecondRunLoadsTheSettingsSavedBesideTheSongOnlyWhenTheyNameIt) {
  JobRun job(kExampleSong);
  ASSERT_TRUE(job.run(request("song.mid", {"0:noteInterval=480"})));
  Result<JobReport> again = job.run(request("song.mid"));
  EXPECT_EQ(again->savedSettings, "song.txt");
  EXPECT_EQ(job.app.rowSettings(0).noteInterval, 480);

  JobRequest fresh = request("song.mid");
  fresh.useSavedSettings = false;
  again = job.run(fresh);
  EXPECT_FALSE(again->savedSettings);
  EXPECT_EQ(job.app.rowSettings(0).noteInterval, 960);

  job.put("song.txt", "i\tother.mid\n");
  EXPECT_FALSE(job.run(request("song.mid"))->savedSettings);

  // One that cannot be read (a name that would lead out of the song's folder) stops the job by
  // its line, and stays as it was rather than being replaced by the defaults.
  const std::string hostile = "i\tsong.mid\ntr\tPiano\t../evil\n";
  job.put("song.txt", hostile);
  const Result<JobReport> refused = job.run(request("song.mid"));
  ASSERT_FALSE(refused);
  EXPECT_EQ(firstLine(refused.problem().message), "The settings file cannot be read.");
  EXPECT_NE(refused.problem().message.in(Audience::EnglishConsole).find("Line 2 "), std::string::npos);
  EXPECT_EQ(job.read("song.txt"), hostile);
  EXPECT_TRUE(job.run(fresh));
}

TEST(Job, AnEditForARowTheSongDoesNotHaveIsRefusedWithNothingWritten) {
  JobRun job(kExampleSong);
  const Result<JobReport> report = job.run(request("song.mid", {"3:noteInterval=480"}));
  ASSERT_FALSE(report);
  EXPECT_EQ(report.problem().message.in(Audience::EnglishConsole),
            "--set: there is no row 3 (the song has 3 track rows)");
  EXPECT_TRUE(written(job).empty());
}

}  // namespace
}  // namespace rendlow::test
