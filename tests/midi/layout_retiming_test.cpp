#include "slicer/layout_retiming.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "layout_fixture.h"

namespace rendlow {
namespace {

using test::addTempo;
using test::LayoutTrack;

using Ticks = std::vector<int64_t>;

// --- One track, full mode -----------------------------------------------------------------

TEST(AlignLayout, WorkedExampleMovesSoundStartsOntoTheGrid) {
  Project project;
  LayoutTrack layout(project, 960, 1920);
  layout.sound(960, 480, nullptr);  // 960 -> 1920
  layout.sound(960, 480, nullptr);  // 3360 -> 2880 rounded up -> 3840
  layout.end(0, nullptr);
  EXPECT_EQ(alignLayout(layout.track(), false), AlignOutcome::Stable);
  EXPECT_EQ(layout.ticks(), (Ticks{1920, 2400, 3840, 4320, 4320}));
  EXPECT_EQ(layout.track().events[0]->tick, 1920);
  EXPECT_EQ(layout.track().events[2]->tick, 3840);
}

TEST(AlignLayout, GridZeroMovesNothing) {
  Project project;
  LayoutTrack layout(project, 960, 0);
  layout.sound(960, 480, nullptr);
  layout.sound(1000, 333, nullptr);
  layout.end(0, nullptr);
  const Ticks before = layout.ticks();
  EXPECT_EQ(alignLayout(layout.track(), false), AlignOutcome::Stable);
  EXPECT_EQ(layout.ticks(), before);
}

TEST(AlignLayout, GridZeroStillKeepsSoundsClearOfTheirTempoChange) {
  Project project;
  auto tempo = addTempo(project, 0);
  LayoutTrack layout(project, 960, 0);
  layout.sound(100, 480, tempo);
  layout.end(0, tempo);
  alignLayout(layout.track(), false);
  EXPECT_EQ(layout.ticks(), (Ticks{960, 1440, 1440}));
}

TEST(AlignLayout, ASoundStartAlreadyOnTheGridStays) {
  Project project;
  LayoutTrack layout(project, 960, 1920);
  layout.sound(3840, 480, nullptr);
  alignLayout(layout.track(), false);
  EXPECT_EQ(layout.ticks(), (Ticks{3840, 4320}));
}

TEST(AlignLayout, PushesAHeadTo960AfterItsTempoChangeAndLeavesThePushOutOfTheNeed) {
  Project project;
  auto earlier = addTempo(project, 0);
  auto tempo = addTempo(project, 0);
  tempo->tick = 5000;  // where an earlier cycle put the tempo change in the layout
  LayoutTrack layout(project, 960, 0);
  layout.preset(0);
  layout.noteOff(4000, 61, earlier);  // the previous section's last event
  layout.sound(1500, 480, tempo);     // would start at 5500
  layout.end(0, tempo);
  EXPECT_EQ(alignLayout(layout.track(), false), AlignOutcome::Stable);
  EXPECT_EQ(layout.ticks(), (Ticks{0, 4000, 5960, 6440, 6440}));
  // The section starts at 5500; the 460 ticks of push are room the tempo change gives, not room
  // the sound needs: noteInterval + duration + 5960 - 5500 - 460.
  EXPECT_EQ(tempo->extent, 960 + 480);
}

TEST(AlignLayout, ChordMembersMoveOnlyWithTheirHead) {
  Project project;
  auto tempo = addTempo(project, 0);
  LayoutTrack layout(project, 960, 1920);
  auto head = layout.sound(960, 480, tempo);  // note-on, note-off
  layout.member(0, head, tempo);              // at the head's tick
  layout.member(100, head, tempo);            // off the grid and too close to the tempo change
  layout.end(0, tempo);
  alignLayout(layout.track(), false);
  // The head goes to 1920; the members keep their distances to the events before them.
  EXPECT_EQ(layout.ticks(), (Ticks{1920, 2400, 2400, 2500, 2500}));
  EXPECT_EQ(layout.track().events[2]->delta, 0);
  EXPECT_EQ(layout.track().events[3]->delta, 100);
}

TEST(AlignLayout, ASoundLongerThanTheGapNeverStartsBeforeTheEventBeforeIt) {
  Project project;
  LayoutTrack layout(project, 960, 1920);
  layout.sound(960, 3000, nullptr);  // 960 -> 1920, its note-off at 4920
  layout.sound(960, 480, nullptr);   // 5880: lastNoteOn + gap = 2880 -> 3840 would precede 4920
  layout.end(0, nullptr);
  alignLayout(layout.track(), false);
  EXPECT_EQ(layout.ticks(), (Ticks{1920, 4920, 5760, 6240, 6240}));
  EXPECT_GE(layout.smallestDelta(), 0);
}

TEST(AlignLayout, TemposOnlyLeavesSoundStartsAlone) {
  Project project;
  auto tempo = addTempo(project, 0);
  LayoutTrack layout(project, 960, 1920);
  layout.sound(100, 480, tempo);
  const Ticks before = layout.ticks();
  EXPECT_EQ(alignLayout(layout.track(), true), AlignOutcome::Stable);
  EXPECT_EQ(layout.ticks(), before);
}

TEST(AlignLayout, ATempoChangeFollowsThePreviousSectionsRoom) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  first->extent = 2400;
  LayoutTrack conductor(project);
  conductor.tempoChange(0, first);
  conductor.tempoChange(7680, second);
  EXPECT_EQ(alignLayout(conductor.track(), true), AlignOutcome::Moved);
  EXPECT_EQ(conductor.ticks(), (Ticks{0, 2400}));
  EXPECT_EQ(second->tick, 2400);
  EXPECT_EQ(first->shift, 2400);
  // Granted once, the room moves nothing more.
  conductor.track().events[1]->delta = 7680;
  EXPECT_EQ(alignLayout(conductor.track(), true), AlignOutcome::Stable);
  EXPECT_EQ(conductor.ticks(), (Ticks{0, 2400}));
}

TEST(AlignLayout, ATempoChangeIsNeverPulledBeforeTheEventBeforeIt) {
  Project project;
  auto tempo = addTempo(project, 0);
  LayoutTrack conductor(project);
  conductor.timeSignature(960, nullptr);  // a sound start's gap, as the layout gives a first meta event
  conductor.tempoChange(0, tempo);
  EXPECT_EQ(alignLayout(conductor.track(), true), AlignOutcome::Moved);
  EXPECT_EQ(conductor.ticks(), (Ticks{960, 960}));
  EXPECT_EQ(tempo->tick, 960);
  EXPECT_EQ(conductor.smallestDelta(), 0);
}

TEST(AlignLayout, PresetsNeitherBeginNorEndASection) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  LayoutTrack layout(project);
  layout.preset(960);
  layout.sound(0, 480, first);
  layout.preset(960);
  layout.sound(0, 480, second);  // a new section begins here, behind the preset
  alignLayout(layout.track(), false);
  EXPECT_EQ(first->extent, 960 + 480 + 960);
  EXPECT_EQ(second->extent, 960 + 480);
}

TEST(AlignLayout, StopsBeforeATickPasses32Bits) {
  Project project;
  auto tempo = addTempo(project, INT32_MAX - 100);
  LayoutTrack layout(project);
  layout.sound(960, 480, tempo);
  EXPECT_EQ(alignLayout(layout.track(), false), AlignOutcome::Overflow);
}

// --- All tracks, the cycle loop -----------------------------------------------------------

TEST(SettleLayout, TempoAtZeroAndALaterOneSettleInTwoCycles) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  LayoutTrack conductor(project);
  conductor.tempoChange(0, first);
  conductor.tempoChange(7680, second);
  conductor.end(0, second);
  LayoutTrack sounds(project);
  sounds.sound(960, 480, first);
  sounds.sound(960, 480, second);
  sounds.end(0, second);

  Diagnostics quiet;
  const SettleReport report = settleLayout(project, quiet);
  EXPECT_TRUE(report.settled());
  EXPECT_EQ(report.cycles, 2);
  // The first section needs 960 + 480 + 960 ticks; the second change comes right after it.
  EXPECT_EQ(first->extent, 2400);
  EXPECT_EQ(first->shift, 2400);
  EXPECT_EQ(second->tick, 2400);
  EXPECT_EQ(conductor.ticks(), (Ticks{0, 2400, 2400}));
  EXPECT_EQ(sounds.ticks(), (Ticks{960, 1440, 3360, 3840, 3840}));
}

TEST(SettleLayout, AConductorStartingWithATimeSignatureKeepsItsDeltasWhole) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  LayoutTrack conductor(project);
  conductor.timeSignature(960, nullptr);  // read before any tempo: no tempo link
  conductor.tempoChange(0, first);
  conductor.tempoChange(7680, second);
  conductor.end(0, second);
  LayoutTrack sounds(project);
  sounds.sound(960, 480, first);
  sounds.sound(960, 480, second);
  sounds.end(0, second);

  Diagnostics quiet;
  const SettleReport report = settleLayout(project, quiet);
  EXPECT_TRUE(report.settled());
  EXPECT_EQ(report.cycles, 2);
  EXPECT_EQ(conductor.ticks(), (Ticks{960, 960, 3360, 3360}));
  EXPECT_EQ(sounds.ticks(), (Ticks{1920, 2400, 4320, 4800, 4800}));
  EXPECT_GE(conductor.smallestDelta(), 0);
}

TEST(SettleLayout, ControllerPresetsUnderTwoTempoChangesDoNotWidenTheSecondSection) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  auto third = addTempo(project, 15360);
  LayoutTrack conductor(project);
  conductor.tempoChange(0, first);
  conductor.tempoChange(7680, second);
  conductor.tempoChange(7680, third);
  LayoutTrack sounds(project);
  for (const auto& tempo : {first, second, third}) {
    sounds.preset(960);
    sounds.sound(0, 480, tempo);
  }
  Diagnostics quiet;
  EXPECT_TRUE(settleLayout(project, quiet).settled());
  EXPECT_EQ(second->extent, 960 + 480);
  EXPECT_EQ(conductor.ticks(), (Ticks{0, 2400, 2400 + 1440}));
}

// A song laid out the way the slicing engine leaves it: a conductor with `tempoCount` tempo
// changes 7680 ticks apart, and `trackCount` tracks that play one new sound under each tempo,
// with a controller preset before every sound. Odd tracks hold their notes across the next tempo
// change, so their note-offs begin the next section. `gridUnit` goes to the odd tracks.
int32_t soundLength(int track, int tempo) { return 240 + 120 * track + 10 * tempo; }

void addSongWithManyTempoChanges(Project& project, int tempoCount, int trackCount, int32_t gridUnit) {
  LayoutTrack conductor(project);
  std::vector<std::shared_ptr<Tempo>> tempos;
  for (int i = 0; i < tempoCount; ++i) {
    tempos.push_back(addTempo(project, i * 7680));
    conductor.tempoChange(i == 0 ? 0 : 7680, tempos.back());
  }
  conductor.end(0, tempos.back());
  for (int t = 0; t < trackCount; ++t) {
    LayoutTrack sounds(project, 960, t % 2 == 0 ? 0 : gridUnit);
    for (int i = 0; i < tempoCount; ++i) {
      const auto index = static_cast<std::size_t>(i);
      const std::size_t offIndex = std::min(index + static_cast<std::size_t>(t % 2), tempos.size() - 1);
      sounds.preset(960);
      sounds.sound(0, soundLength(t, i), tempos[index], tempos[offIndex]);
    }
    sounds.end(0, tempos.back());
  }
}

bool allDeltasWhole(const Project& project) {
  for (const auto& track : project.tracks) {
    for (const auto& event : track->events) {
      if (event->delta < 0) return false;
    }
  }
  return true;
}

TEST(SettleLayout, FortyTempoChangesWithControllersInEveryTrackSettleInTwoCycles) {
  Project project;
  addSongWithManyTempoChanges(project, 40, 4, 0);
  Diagnostics quiet;
  const SettleReport report = settleLayout(project, quiet);
  EXPECT_TRUE(report.settled());
  EXPECT_EQ(report.cycles, 2);

  // Each section is as long as its longest need, and each tempo change follows the previous one
  // by exactly that. The longest is track 3's: its section starts at its held note-off (at tick 0
  // for the first), 960 before its sound, which needs 960 + its length.
  for (int i = 0; i < 40; ++i) {
    const Tempo& tempo = *project.tempos[static_cast<std::size_t>(i)];
    EXPECT_EQ(tempo.extent, 960 + 960 + soundLength(3, i)) << "tempo " << i;
    if (i > 0) {
      const Tempo& previous = *project.tempos[static_cast<std::size_t>(i) - 1];
      EXPECT_EQ(tempo.tick, previous.tick + previous.extent) << "tempo " << i;
    }
  }
  EXPECT_TRUE(allDeltasWhole(project));
}

TEST(SettleLayout, StopsAtTheCycleBoundWithTheLastCyclesDeltas) {
  Project project;
  addSongWithManyTempoChanges(project, 40, 4, 1920);  // the grid makes it take a few cycles
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  const SettleReport report = settleLayout(project, diagnostics, 2);
  EXPECT_EQ(report.ending, SettleReport::Ending::CycleLimit);
  EXPECT_EQ(report.cycles, 2);
  EXPECT_EQ(lines.str(), "Re-timing stopped after 2 cycles without settling\n");
  EXPECT_TRUE(allDeltasWhole(project));
  EXPECT_GT(project.tempos[1]->shift, 0);  // the work of the cycles is kept
}

TEST(SettleLayout, EverySoundStartsClearOfItsTempoChangeAndBeforeTheNext) {
  Project project;
  addSongWithManyTempoChanges(project, 12, 4, 1920);
  Diagnostics quiet;
  ASSERT_TRUE(settleLayout(project, quiet).settled());
  for (std::size_t t = 1; t < project.tracks.size(); ++t) {
    int64_t tick = 0;
    for (const auto& event : project.tracks[t]->events) {
      tick += event->delta;
      if (!event->startsNote()) continue;
      const auto tempo = event->tempo.lock();
      EXPECT_GE(tick, tempo->tick + kTempoClearance);
      if (tempo->index + 1 < static_cast<int32_t>(project.tempos.size())) {
        EXPECT_LT(tick, project.tempos[static_cast<std::size_t>(tempo->index) + 1]->tick);
      }
    }
  }
}

TEST(SettleLayout, DisabledTracksAreNotAlignedButTheirTempoChangesAre) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 7680);
  LayoutTrack off(project, 960, 1920);
  off.tempoChange(0, first);
  off.sound(100, 480, first);  // off the grid and too close to its tempo change
  off.tempoChange(7100, second);
  off.track().settings.enabled = false;
  LayoutTrack on(project);
  on.sound(960, 480, first);
  Diagnostics quiet;
  EXPECT_TRUE(settleLayout(project, quiet).settled());
  EXPECT_EQ(off.ticks(), (Ticks{0, 100, 580, 2400}));
  EXPECT_EQ(on.ticks(), (Ticks{960, 1440}));
}

TEST(SettleLayout, ATempoChangeLaidOutTwiceMovesOnlyAtTheCopyItsRecordFollows) {
  // A Set Tempo event inside a postponed stretch is laid out twice, the way the slicing engine
  // leaves it: the held sound's note-off after the first copy, then the postponed sound, read
  // under the first tempo, and the second copy, which the record follows. Were both copies the
  // tempo change, the record would follow itself and ask for more room every cycle.
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 1920);
  LayoutTrack layout(project);
  layout.tempoChange(0, first);
  layout.noteOn(960, first)->duration = 3840;
  MidiEvent& earlier = layout.tempoChange(1920, second);
  layout.noteOff(1920, 36, second);
  layout.sound(960, 1440, first);
  layout.tempoChange(0, second);
  layout.end(0, second);
  ASSERT_NE(second->event.get(), &earlier);

  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  const SettleReport report = settleLayout(project, diagnostics);
  EXPECT_TRUE(report.settled());
  EXPECT_EQ(report.cycles, 2);
  EXPECT_EQ(lines.str(), "");
  // The earlier copy moves only with the events before it; the later one is the tempo change.
  EXPECT_EQ(earlier.delta, 1920);
  EXPECT_EQ(layout.tickOf(*second->event), second->tick);
  EXPECT_GE(layout.smallestDelta(), 0);
}

TEST(SettleLayout, AnOverflowRestoresTheLayoutsAsBuilt) {
  Project project;
  auto first = addTempo(project, 0);
  auto second = addTempo(project, 1000);
  LayoutTrack conductor(project);
  conductor.tempoChange(0, first);
  conductor.tempoChange(1000, second);
  LayoutTrack sounds(project);
  // The layout as built fits; once the second section starts after the first one's room, the
  // second sound's clearance pushes its note-off past the largest tick.
  sounds.sound(960, INT32_MAX - 3000, first);
  sounds.sound(960, 480, second);
  const Ticks conductorBuilt = conductor.ticks();
  const Ticks soundsBuilt = sounds.ticks();
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  const SettleReport report = settleLayout(project, diagnostics);
  EXPECT_EQ(report.ending, SettleReport::Ending::Overflow);
  EXPECT_EQ(report.cycles, 2);
  EXPECT_EQ(lines.str(), "Re-timing stopped in cycle 2: a tick would pass 2147483647\n");
  EXPECT_EQ(conductor.ticks(), conductorBuilt);
  EXPECT_EQ(sounds.ticks(), soundsBuilt);
}

}  // namespace
}  // namespace rendlow
