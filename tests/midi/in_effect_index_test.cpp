// The reader's quick lookup of the tempo change or time signature in effect must give exactly
// what the read-order scan gives, for lists in any order.

#include "midi/in_effect_index.h"

#include <gtest/gtest.h>

#include <random>

#include "midi/song.h"

namespace rendlow {
namespace {

TEST(InEffectIndex, EmptyFindsNothing) { EXPECT_FALSE(InEffectIndex().find(0)); }

TEST(InEffectIndex, AgreesWithTheScanOnEveryPrefixOfUnsortedLists) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 200; ++round) {
    const int span = round % 2 ? 50 : 100000;
    std::uniform_int_distribution<int32_t> tickOf(0, span);
    TempoList tempos;
    InEffectIndex index;
    for (int entries = 0; entries < 30; ++entries) {
      auto tempo = std::make_shared<Tempo>();
      tempo->tick = tempo->shiftedTick = tickOf(random);
      tempo->index = static_cast<int32_t>(tempos.size());
      tempos.push_back(tempo);
      index.append(tempo->shiftedTick);
      for (int ask = 0; ask < 20; ++ask) {
        const int32_t tick = tickOf(random);
        const auto found = index.find(tick);
        ASSERT_TRUE(found);
        ASSERT_EQ(static_cast<int32_t>(*found), tempoAt(tempos, tick)->index) << "tick " << tick;
      }
    }
  }
}

}  // namespace
}  // namespace rendlow
