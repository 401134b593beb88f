// Which tempo change and time signature each event refers to: the one in effect at its tick as
// far as the file has been read, while Set Tempo and Time Signature events refer to their own.

#include <gtest/gtest.h>

#include <random>

#include "read_song.h"

namespace rendlow::test {
namespace {

// Position of the linked record in the song's list; -1 when the event has no link.
template <typename Record>
int32_t linked(const std::weak_ptr<Record>& link) {
  const auto record = link.lock();
  return record ? record->index : -1;
}

int32_t beatIndex(const Project& project, const MidiEvent& event) {
  const auto beat = event.beat.lock();
  for (std::size_t i = 0; i < project.beats.size(); ++i) {
    if (project.beats[i] == beat) return static_cast<int32_t>(i);
  }
  return -1;
}

TEST(TempoLinks, LaterTracksOfAFormat1SongSeeTheWholeConductorTrack) {
  MidiBuilder song;
  song.track()
      .tempo(0, 500000)
      .timeSignature(0, 4, 2)
      .tempo(960, 1000000)
      .timeSignature(1920, 3, 2)
      .endOfTrack(1920);
  song.track()
      .noteOn(0, 0, 60, 100)
      .noteOff(959, 0, 60)
      .noteOn(960, 0, 62, 100)
      .noteOff(2000, 0, 62)
      .endOfTrack(2000);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  const Project& project = session.app.project;
  const std::vector<std::pair<int32_t, int32_t>> expected{{0, 0}, {0, 0}, {1, 0}, {1, 1}, {1, 1}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MidiEvent& event = session.event(1, i);
    EXPECT_EQ(linked(event.tempo), expected[i].first) << "event " << i;
    EXPECT_EQ(beatIndex(project, event), expected[i].second) << "event " << i;
  }
}

// In a format 0 file an event sees only the tempo changes read before it.
TEST(TempoLinks, Format0EventsSeeOnlyWhatWasReadBeforeThem) {
  MidiBuilder song(480, 0);
  song.track()
      .noteOn(0, 0, 60, 100)
      .tempo(0, 500000)
      .noteOff(240, 0, 60)
      .tempo(480, 400000)
      .noteOn(480, 0, 62, 100)
      .endOfTrack(480);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  std::vector<int32_t> links;
  for (const auto& event : session.track(0).events) links.push_back(linked(event->tempo));
  EXPECT_EQ(links, (std::vector<int32_t>{-1, 0, 0, 1, 1, 1}));
  EXPECT_TRUE(session.event(0, 0).beat.expired());
}

// A later track's tempo change at a tick before one read earlier: the scan would stop at the
// earlier record, but the event refers to its own.
TEST(TempoLinks, TempoAndTimeSignatureEventsReferToTheirOwnRecord) {
  MidiBuilder song;
  song.track()
      .tempo(0, 500000)
      .timeSignature(0, 4, 2)
      .tempo(960, 400000)
      .timeSignature(960, 3, 2)
      .endOfTrack(960);
  song.track()
      .noteOn(0, 0, 60, 100)
      .tempo(480, 600000)
      .timeSignature(480, 6, 3)
      .noteOn(500, 0, 62, 100)
      .noteOn(1000, 0, 64, 100)
      .endOfTrack(1000);
  ReadSession session;
  ASSERT_TRUE(session.read(song));
  const Project& project = session.app.project;
  std::vector<int32_t> tempos;
  std::vector<int32_t> beats;
  for (const auto& event : session.track(1).events) {
    tempos.push_back(linked(event->tempo));
    beats.push_back(beatIndex(project, *event));
  }
  EXPECT_EQ(tempos, (std::vector<int32_t>{0, 2, 0, 0, 2, 2}));
  EXPECT_EQ(beats, (std::vector<int32_t>{0, 0, 2, 0, 2, 2}));
  EXPECT_EQ(project.tempos[2]->event.get(), &session.event(1, 1));
  EXPECT_EQ(project.tempos[2]->index, 2);
}

// Tempo changes and time signatures scattered over tracks in no order: every link equals the
// read-order scan over the records read up to that event.
TEST(TempoLinks, EqualTheScanOverWhatWasReadOnRandomSongs) {
  std::mt19937 random(1206);
  for (int round = 0; round < 20; ++round) {
    MidiBuilder song;
    for (int t = 0; t < 4; ++t) {
      TrackBuilder& track = song.track();
      int32_t tick = 0;
      for (int e = 0; e < 60; ++e) {
        tick += static_cast<int32_t>(random() % 200);
        const unsigned what = random() % 10;
        if (what == 0) {
          track.tempo(tick, 300000 + random() % 400000);
        } else if (what == 1) {
          track.timeSignature(tick, 2 + random() % 5, 2);
        } else {
          track.controlChange(tick, 0, 7, static_cast<int>(random() % 128));
        }
      }
      track.endOfTrack(tick);
    }
    ReadSession session;
    ASSERT_TRUE(session.read(song));
    const Project& project = session.app.project;
    TempoList temposSoFar;
    BeatList beatsSoFar;
    for (const auto& track : project.tracks) {
      for (const auto& event : track->events) {
        if (event->isMeta(kMetaTempo)) temposSoFar.push_back(project.tempos[temposSoFar.size()]);
        if (event->isMeta(kMetaTimeSignature)) beatsSoFar.push_back(project.beats[beatsSoFar.size()]);
        const auto tempo = event->isMeta(kMetaTempo) ? temposSoFar.back() : tempoAt(temposSoFar, event->tick);
        const auto beat =
            event->isMeta(kMetaTimeSignature) ? beatsSoFar.back() : beatAt(beatsSoFar, event->tick);
        ASSERT_EQ(event->tempo.lock(), tempo) << describeEvent(*event);
        ASSERT_EQ(event->beat.lock(), beat) << describeEvent(*event);
      }
    }
    EXPECT_EQ(temposSoFar.size(), project.tempos.size());
  }
}

}  // namespace
}  // namespace rendlow::test
