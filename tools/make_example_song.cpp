// Writes the bundled example song: a short piece that shows every kind of material the tool
// slices. A conductor track with a tempo change and a 3/4 section; a piano track of repeated
// chords; a lead line played legato with volume and pan changes; an unnamed drum track whose hits
// repeat; and a set-up track whose events all stand at tick 0, which the track table leaves out.
//
// Usage: make_example_song OUTPUT.mid

#include <cstdio>
#include <initializer_list>

#include "support/midi_builder.h"

namespace {

using rendlow::test::MidiBuilder;
using rendlow::test::TrackBuilder;

constexpr int kQuarter = 480;
constexpr int kBar44 = 4 * kQuarter;
constexpr int kBar34 = 3 * kQuarter;
// Bars 0-5 are in 4/4, bars 6-9 in 3/4; the tempo rises from 120 to 150 at bar 4.
constexpr int kThreeFourStart = 6 * kBar44;
constexpr int kSongEnd = kThreeFourStart + 4 * kBar34;

void conductor(TrackBuilder& t) {
  t.name("Conductor").timeSignature(0, 4, 2).tempoBpm(0, 120.0);
  t.tempoBpm(4 * kBar44, 150.0);
  t.timeSignature(kThreeFourStart, 3, 2);
  t.endOfTrack(kSongEnd);
}

// Chords on every half bar; the same two chords come back again and again, so they share sounds.
void piano(TrackBuilder& t) {
  t.name("Piano").programChange(0, 0, 0);
  const std::initializer_list<int> chordC = {60, 64, 67};
  const std::initializer_list<int> chordF = {60, 65, 69};
  int tick = 0;
  for (int bar = 0; bar < 6; ++bar) {
    for (int half = 0; half < 2; ++half) {
      const auto& chord = half == 0 ? chordC : chordF;
      const int velocity = bar == 3 ? 110 : 90;  // one louder bar: separate sounds once widths split
      for (int note : chord) t.noteOn(tick, 0, note, velocity);
      for (int note : chord) t.noteOff(tick + 2 * kQuarter - 60, 0, note);
      tick += 2 * kQuarter;
    }
  }
  for (int bar = 0; bar < 4; ++bar) {
    for (int note : chordC) t.noteOn(tick, 0, note, 90);
    for (int note : chordC) t.noteOff(tick + kBar34 - 60, 0, note);
    tick += kBar34;
  }
  t.endOfTrack(kSongEnd);
}

// A legato phrase (each note overlaps the next) with volume and pan moving under it.
void lead(TrackBuilder& t) {
  t.name("Lead").controlChange(0, 1, 7, 100).controlChange(0, 1, 10, 64);
  const int phrase[] = {72, 74, 76, 77, 79};
  for (int repeat = 0; repeat < 2; ++repeat) {
    const int start = repeat * 2 * kBar44 + kBar44;
    for (int i = 0; i < 5; ++i) {
      const int on = start + i * kQuarter;
      t.noteOn(on, 1, phrase[i], 96);
      if (i > 0) t.noteOff(on + 30, 1, phrase[i - 1]);
    }
    t.noteOff(start + 5 * kQuarter, 1, phrase[4]);
  }
  t.controlChange(5 * kBar44, 1, 7, 80).controlChange(5 * kBar44, 1, 10, 30);
  for (int i = 0; i < 3; ++i) {
    const int on = 5 * kBar44 + i * kQuarter;
    t.noteOn(on, 1, 84 - i * 2, 96).noteOff(on + kQuarter / 2, 1, 84 - i * 2);
  }
  t.endOfTrack(kSongEnd);
}

// No name: the table shows an empty name and the settings file keys it by an empty field.
void drums(TrackBuilder& t) {
  int tick = 0;
  while (tick < kSongEnd) {
    t.noteOn(tick, 9, 36, 100).noteOff(tick + 60, 9, 36);
    t.noteOn(tick + kQuarter, 9, 38, 100).noteOff(tick + kQuarter + 60, 9, 38);
    tick += 2 * kQuarter;
  }
  t.endOfTrack(kSongEnd);
}

// Everything at tick 0: a set-up track with no content to convert.
void setup(TrackBuilder& t) {
  t.name("Setup").programChange(0, 2, 48).controlChange(0, 2, 91, 40).endOfTrack(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example_song OUTPUT.mid\n");
    return 2;
  }
  MidiBuilder song(kQuarter);
  conductor(song.track());
  piano(song.track());
  lead(song.track());
  drums(song.track());
  setup(song.track());
  song.write(argv[1]);
  return 0;
}
