// The whole job, as the command line and the desktop program run it, on whole songs: compared
// byte for byte with golden files, and every song convertible again from the settings file it
// wrote, to the very same bytes.

#include <gtest/gtest.h>

#include <algorithm>

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
Bytes formatZeroSong() {
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

struct GoldenCase {
  const char* folder;
  const char* input;
  Bytes song;
  JobRequest job;
  std::vector<std::string> rows;  // the track names of the rows
};

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
  const std::vector<std::string> exampleRows{"Piano", "Lead", ""};
  const GoldenCase cases[] = {
      {"default", "example_song", kExampleSong, request("example_song.mid"), exampleRows},
      {"edited", "example_song", kExampleSong, edited, exampleRows},
      // A format 0 song gets a row and a family of sounds per channel.
      {"format0", "song", formatZeroSong(), request("song.mid"), {"Ch01", "Ch02", "Ch10"}},
      // Each track of a shared name keeps its own line of the settings file.
      {"names", "song", songWithSharedAndMissingNames(),
       request("song.mid", {"0:noteInterval=240", "1:splitMethod=0", "2:velocitySplitWidth=8", "3:gridUnit=480"}),
       {"Guitar", "Guitar", "Guitar", ""}},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string input(c.input);
    const std::string outputs[] = {input + "_out.mid", input + ".txt", input + "_out.bme"};
    JobRun job;
    job.put(input + ".mid", c.song);
    const Result<JobReport> report = job.run(c.job);
    ASSERT_TRUE(report && report->output.ok() && !report->output.warned);
    std::vector<std::string> rows;
    for (const MemoryForm::Row& row : job.form.rows()) rows.push_back(row.trackName);
    EXPECT_EQ(rows, c.rows);
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

}  // namespace
}  // namespace rendlow::test
