// The length width: notes whose lengths fall in one bucket of that many ticks, and that agree on
// everything else, are one sound, played as long as its first occurrence.

#include <gtest/gtest.h>

#include <vector>

#include "slicer/note_extraction.h"
#include "support/read_song.h"

namespace rendlow::test {
namespace {

using Ints = std::vector<int32_t>;

// One note of pitch 60 per 1000 ticks, each of the given length, and a controller change at
// `changeAt` (none when 0), sliced note by note with the given widths. Gives each note's sound.
Ints soundsOf(const Ints& lengths, int32_t lengthWidth, int32_t ccWidth = 0, int32_t changeAt = 0) {
  MidiBuilder b;
  TrackBuilder& track = b.track().tempo(0, 500000);
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    const auto start = static_cast<int32_t>(i) * 1000;
    const int32_t end = start + lengths[i];
    const bool changes = changeAt > start && changeAt < start + 1000;
    track.noteOn(start, 0, 60, 100);
    if (changes && changeAt < end) track.controlChange(changeAt, 0, 11, 20);
    track.noteOff(end, 0, 60);
    if (changes && changeAt >= end) track.controlChange(changeAt, 0, 11, 20);
  }
  track.endOfTrack(static_cast<int32_t>(lengths.size()) * 1000);
  const Song song = readSong(b.bytes());
  TrackSettings settings;
  settings.splitMethod = static_cast<int32_t>(SplitMethod::Single);
  settings.lengthSplitWidth = lengthWidth;
  settings.ccSplitWidth = ccWidth;
  settings.ccInterval = ccWidth > 0 ? 10 : 0;
  Diagnostics quiet;
  const SlicedTrack sliced = extractNotes(song.tracks[0], settings, song.tempos, quiet);
  Ints sounds;
  for (const Note& note : sliced.notes) sounds.push_back(note.sound);
  return sounds;
}

TEST(LengthWidth, NotesInOneBucketOfLengthAreOneSound) {
  struct Case {
    const char* what;
    Ints lengths;
    int32_t width;
    Ints sounds;
  };
  const Case cases[] = {
      {"0 compares lengths exactly", {100, 101, 100}, 0, {0, 1, 0}},
      {"a negative width too", {100, 101}, -5, {0, 1}},
      {"buckets of 10 hold 100 to 109", {100, 109, 110, 119, 99}, 10, {0, 0, 1, 1, 2}},
      {"buckets are counted from 0, not from the first length", {105, 95, 109}, 10, {0, 1, 0}},
      {"a width of 1 is exact", {100, 101}, 1, {0, 1}},
      {"a note of no length shares the first bucket", {0, 5, 10}, 10, {0, 0, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(soundsOf(c.lengths, c.width), c.sounds) << c.what;
}

// The controllers are compared while both notes last: a change that comes after the shorter of
// two lengths in one bucket is not heard in the sound that plays for both.
TEST(LengthWidth, ControllersAreComparedWhileBothNotesLast) {
  EXPECT_EQ(soundsOf({100, 140}, 50, 16, 1000 + 120), (Ints{0, 0}));
  EXPECT_EQ(soundsOf({100, 140}, 50, 16, 1000 + 60), (Ints{0, 1}));
  // A note of no length compares no controllers, so it is alike to any note in its bucket.
  EXPECT_EQ(soundsOf({5, 0}, 10, 16), (Ints{0, 0}));
}

}  // namespace
}  // namespace rendlow::test
