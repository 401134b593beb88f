#include <gtest/gtest.h>

#include "slicer/render_layout.h"
#include "slicing_helpers.h"

namespace rendlow::test {
namespace {

// A long legato run is one chain; each stage, and finally releasing the song, must handle it
// without one stack frame per note.
TEST(LongChains, ALegatoRunOfThirtyThousandNotesIsOneSoundLaidOutOnce) {
  constexpr int kNotes = 30000;
  TrackMaker maker;
  maker.tempo(0, 120.0f);
  for (int i = 0; i < kNotes; ++i) maker.note(i * 10, 15, 40 + i % 40);
  auto track = sliced(maker, withSplit(SplitMethod::Legato));
  ASSERT_EQ(track->notes.size(), std::size_t{kNotes});
  EXPECT_EQ(track->notes.back()->chainHead(), track->notes.front());
  EXPECT_EQ(track->notes.front()->chainLength(), kNotes);
  EXPECT_EQ(track->notes.back()->sound, 0);
  EXPECT_TRUE(track->notes.back()->firstOccurrence);
  const auto layout = buildRenderLayout(*track).value();
  EXPECT_EQ(layout.size(), std::size_t{2 * kNotes + 1});
  EXPECT_EQ(layout.back()->tick, 960 + (kNotes - 1) * 10 + 15);
  // The notes go first, leaving the chain owned link by link from its head.
  track->notes.erase(track->notes.begin() + 1, track->notes.end());
  track.reset();
}

TEST(LongChains, AChainOwnedOnlyThroughItsLinksIsReleasedWithoutRecursion) {
  auto head = std::make_shared<Note>();
  Note* tail = head.get();
  for (int i = 0; i < 500000; ++i) {
    auto note = std::make_shared<Note>();
    tail->appendToChain(note);
    tail = note.get();
  }
  EXPECT_EQ(tail->chainHead(), head);
  head.reset();
  SUCCEED();
}

}  // namespace
}  // namespace rendlow::test
