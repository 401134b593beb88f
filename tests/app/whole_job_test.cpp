// The whole job, as the command line and the desktop program run it, on whole songs: the bundled
// example compared byte for byte with golden files, and every song convertible again from the
// settings file it wrote, to the very same bytes.

#include <gtest/gtest.h>

#include <algorithm>

#include "job_fixture.h"
#include "support/generated_song.h"

namespace rendlow::test {
namespace {

std::vector<RowEdit> edits(std::initializer_list<const char*> texts) {
  std::vector<RowEdit> parsed;
  for (const char* text : texts) parsed.push_back(*parseRowEdit(text));
  return parsed;
}

// Three tracks of one name and an unnamed one, each with its own notes, so that a settings file
// that gave every track the same line would show in the output.
Bytes songWithSharedAndMissingNames() {
  MidiBuilder song;
  song.track().name("Conductor").tempoBpm(0, 128).timeSignature(0, 4, 2).endOfTrack(0);
  for (int t = 0; t < 4; ++t) {
    TrackBuilder& track = song.track();
    if (t < 3) track.name("Guitar");
    for (int n = 0; n < 8; ++n) {
      const int32_t tick = 480 * n;
      track.noteOn(tick, t, 50 + t * 5 + n % 3, 90).noteOff(tick + 240 + 60 * t, t, 50 + t * 5 + n % 3);
    }
    track.endOfTrack(3840);
  }
  return song.bytes();
}

// A format 0 song, as karaoke files and game rips come: piano chords on channel 1, a bass on
// channel 2 and drums on channel 10, all in one track with the tempo changes.
Bytes formatZeroSong() {
  MidiBuilder song(480, 0);
  TrackBuilder& track = song.track();
  track.name("All in one").tempoBpm(0, 120).timeSignature(0, 4, 2).programChange(0, 1, 33);
  struct Hit {
    int32_t tick;
    int channel, note, velocity, length;
  };
  std::vector<Hit> hits;
  for (int bar = 0; bar < 4; ++bar) {
    const int32_t at = bar * 1920;
    for (const int note : {60, 64, 67}) hits.push_back({at, 0, note + (bar % 2) * 2, 80, 900});
    for (int beat = 0; beat < 4; ++beat) {
      hits.push_back({at + beat * 480, 1, 36 + (beat % 2) * 7, 100, 400});
      hits.push_back({at + beat * 480, 9, beat % 2 ? 38 : 36, 110, 60});
      hits.push_back({at + beat * 480 + 240, 9, 42, 70, 60});
    }
  }
  struct Timed {
    int32_t tick;
    bool on;
    Hit hit;
  };
  std::vector<Timed> events;
  for (const Hit& h : hits) events.push_back({h.tick, true, h}), events.push_back({h.tick + h.length, false, h});
  std::stable_sort(events.begin(), events.end(),
                   [](const Timed& a, const Timed& b) { return a.tick != b.tick ? a.tick < b.tick : !a.on && b.on; });
  bool faster = false;
  for (const Timed& e : events) {
    if (e.tick >= 3840 && !faster) faster = (track.tempoBpm(3840, 140), true);
    if (e.on) track.noteOn(e.tick, e.hit.channel, e.hit.note, e.hit.velocity);
    else track.noteOff(e.tick, e.hit.channel, e.hit.note);
  }
  track.endOfTrack(7680);
  return song.bytes();
}

TEST(GoldenJob, AFormatZeroSongGetsARowAndASoundFamilyPerChannel) {
  JobRun job;
  job.put("song.mid", formatZeroSong());
  const Result<JobReport> report = job.run(request("song.mid"));
  ASSERT_TRUE(report && report->output.ok() && !report->output.warned);
  std::vector<std::string> rows;
  for (const MemoryForm::Row& row : job.form.rows()) rows.push_back(row.trackName);
  EXPECT_EQ(rows, (std::vector<std::string>{"Ch01", "Ch02", "Ch10"}));
  for (const char* file : {"song_out.mid", "song.txt", "song_out.bme"}) {
    const std::string name(file);
    expectGolden(job.dir.file(name), kGoldenDir + "/format0/" + name, !name.ends_with(".mid"));
  }
  exportForInterop(job.app.project, job.dir.file("song_out.mid"));
  exportChartForInterop(job.app.project, job.dir.file("song.mid"), job.dir.file("song_out.bme"));
}

struct GoldenCase {
  const char* folder;
  JobRequest job;
};

TEST(GoldenJob, TheExampleSongAsTheGoldenFilesHoldIt) {
  // Piano: the louder bar becomes sounds of its own, on a grid of a bar. Lead: whole legato
  // phrases, split by volume and pan, whatever the tempo. Drums: every hit its own object, close
  // hits on definitions of their own, a wider id gap.
  JobRequest edited = request("example_song.mid",
                               edits({"0:definitionName=piano", "0:velocitySplitWidth=16", "0:gridUnit=1920",
                           "1:definitionName=lead", "1:splitMethod=2", "1:ccSplitWidth=32", "1:ignoreBpm=1",
                           "2:definitionName=drums", "2:splitMethod=0", "2:multipleThreshold=600",
                           "2:wavDefinitionGap=5"}));
  edited.genre = "Demo";
  edited.title = "Example Song";
  edited.artist = "Rendlow";
  const GoldenCase cases[] = {{"default", request("example_song.mid")}, {"edited", edited}};
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.folder);
    JobRun job;
    job.put("example_song.mid", readBytes(kExampleSong));
    const Result<JobReport> report = job.run(c.job);
    ASSERT_TRUE(report && report->output.ok() && !report->output.warned);
    for (const char* file : {"example_song_out.mid", "example_song.txt", "example_song_out.bme"}) {
      const std::string name(file);
      expectGolden(job.dir.file(name), kGoldenDir + "/" + c.folder + "/" + name, !name.ends_with(".mid"));
    }
    exportForInterop(job.app.project, job.dir.file("example_song_out.mid"));
    exportChartForInterop(job.app.project, job.dir.file("example_song.mid"), job.dir.file("example_song_out.bme"));
  }
}

struct RoundTrip {
  const char* name;
  Bytes song;
  std::vector<RowEdit> edits;
};

TEST(RoundTrip, ConvertingAgainFromTheWrittenSettingsFileGivesTheSameBytes) {
  const RoundTrip cases[] = {
      {"example", readBytes(kExampleSong), {}},
      {"example edited", readBytes(kExampleSong), edits({"0:splitMethod=2", "1:ccSplitWidth=16", "2:gridUnit=960"})},
      {"shared and missing names", songWithSharedAndMissingNames(),
       edits({"0:noteInterval=240", "1:splitMethod=0", "2:velocitySplitWidth=8", "3:gridUnit=480"})},
      {"generated", generatedSong(), edits({"0:velocitySplitWidth=32", "2:splitMethod=2", "3:ignoreBpm=1"})},
      {"format 0", formatZeroSong(), edits({"0:splitMethod=0", "2:velocitySplitWidth=32"})},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.name);
    JobRun first;
    first.put("song.mid", c.song);
    const Result<JobReport> report = first.run(request("song.mid", c.edits));
    ASSERT_TRUE(report && report->output.ok() && !report->output.warned);
    exportChartForInterop(first.app.project, first.dir.file("song.mid"), first.dir.file("song_out.bme"));
    JobRun second;
    second.put("song.mid", c.song);
    second.put("song.txt", readBytes(first.dir.file("song.txt")));
    ASSERT_TRUE(second.run(request("song.txt")));
    for (const char* file : {"song_out.mid", "song.txt", "song_out.bme"})
      EXPECT_EQ(second.read(file), first.read(file)) << file;
  }
}

}  // namespace
}  // namespace rendlow::test
