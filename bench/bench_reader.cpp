// How fast a long song is read: 16 tracks, a conductor track with a tempo ramp, and notes and
// controllers in the other 15. Reads a song of about 500,000 events and one twice that size and
// prints events per second for each; the ratio of the two times shows whether reading grows
// linearly (about 2) or worse.

#include <chrono>
#include <cstdio>
#include <string>

#include "app/application.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

constexpr int kTracks = 16;
constexpr int32_t kStep = 120;  // ticks between the starts of two notes

// A song of about `events` events: each bar of notes is a note-on, a note-off and, every fourth
// note, a controller; the conductor ramps the tempo `tempoChanges` times across the song.
MidiBuilder makeSong(int events, int tempoChanges) {
  MidiBuilder song(480);
  const int perTrack = events / (kTracks - 1);
  const int notes = perTrack * 4 / 9;  // 2 events per note plus a controller every fourth note
  const int32_t songEnd = notes * kStep;
  song.track()
      .name("Conductor")
      .timeSignature(0, 4, 2)
      .tempoRamp(songEnd, tempoChanges, 90.0, 180.0)
      .endOfTrack(songEnd);
  for (int t = 1; t < kTracks; ++t) {
    TrackBuilder& track = song.track().name("Track " + std::to_string(t)).useRunningStatus();
    const int channel = t % 16;
    for (int n = 0; n < notes; ++n) {
      const int32_t tick = n * kStep;
      if (n % 4 == 0) track.controlChange(tick, channel, 11, 40 + n % 80);
      track.noteOn(tick, channel, 36 + (n * 7 + t) % 60, 30 + n % 90);
      track.noteOff(tick + kStep / 2, channel, 36 + (n * 7 + t) % 60);
    }
    track.endOfTrack(songEnd);
  }
  return song;
}

struct Run {
  std::size_t events = 0;
  std::size_t tempos = 0;
  std::size_t bytes = 0;
  double seconds = 0;
};

Run timeRead(int events, int tempoChanges) {
  rendlow::test::TempDir dir;
  const std::string path = dir.file("long.mid");
  const auto bytes = makeSong(events, tempoChanges).bytes();
  rendlow::test::writeBytes(path, bytes);

  rendlow::Application app;  // progress lines off, as in the command line
  const auto start = std::chrono::steady_clock::now();
  const bool ok = app.readMidiFile(path);
  const auto stop = std::chrono::steady_clock::now();
  if (!ok) std::fprintf(stderr, "reading %s failed\n", path.c_str());

  Run run;
  for (const auto& track : app.project.tracks) run.events += track->events.size();
  run.tempos = app.project.tempos.size();
  run.bytes = bytes.size();
  run.seconds = std::chrono::duration<double>(stop - start).count();
  return run;
}

}  // namespace

int main() {
  std::printf("%10s %8s %10s %10s %14s\n", "events", "tempos", "bytes", "seconds", "events/s");
  const Run single = timeRead(500000, 500);
  const Run twice = timeRead(1000000, 1000);
  for (const Run& run : {single, twice}) {
    std::printf("%10zu %8zu %10zu %10.4f %14.0f\n", run.events, run.tempos, run.bytes, run.seconds,
                static_cast<double>(run.events) / run.seconds);
  }
  std::printf("time ratio (double size / single size): %.2f\n", twice.seconds / single.seconds);
  return 0;
}
