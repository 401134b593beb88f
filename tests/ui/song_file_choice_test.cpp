#include <gtest/gtest.h>

#include "ui/song_file_choice.h"

namespace rendlow::ui {
namespace {

TEST(SongFileExtension, OnlyFourBytesFromTheLastDotCountInAnyCase) {
  EXPECT_TRUE(hasSongFileExtension("C:\\songs\\a.mid"));
  EXPECT_TRUE(hasSongFileExtension("C:\\songs\\A.MID"));
  EXPECT_TRUE(hasSongFileExtension("a.Txt"));
  EXPECT_TRUE(hasSongFileExtension("a.midi"));  // the fifth byte is not compared
  EXPECT_TRUE(hasSongFileExtension("old.wav.mid"));
  EXPECT_FALSE(hasSongFileExtension("a.mid.wav"));
  EXPECT_FALSE(hasSongFileExtension("a.mi"));
  EXPECT_FALSE(hasSongFileExtension("a.wav"));
  EXPECT_FALSE(hasSongFileExtension("C:\\songs\\mid"));
  EXPECT_FALSE(hasSongFileExtension(""));
  EXPECT_FALSE(hasSongFileExtension("a.m\xC9" "d"));  // only ASCII letters fold
}

}  // namespace
}  // namespace rendlow::ui
