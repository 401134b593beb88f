// Paths put together and taken apart, and names compared letter case aside, as texts of the
// system code page.

#include <gtest/gtest.h>

#include <string>

#include "base/path_names.h"
#include "base/platform.h"
#include "base/text.h"
#include "support/case_table.h"

namespace rendlow {
namespace {

// "表" is 95 5C in Shift_JIS: its second byte is a backslash only where texts are not code page 932.
const std::string kHyou = "\x95\x5C";

TEST(PathNames, ANameGoesInsideItsFolderWithOneSeparator) {
  const std::string sep(1, pathSeparator());
  const struct {
    std::string folder, name, path;
  } cases[] = {
      {"", "a.wav", "a.wav"},
      {"dir", "a.wav", "dir" + sep + "a.wav"},
      {"dir/", "a.wav", "dir/a.wav"},
      {"dir\\", "a.wav", sep == "\\" ? "dir\\a.wav" : "dir\\/a.wav"},
      {kHyou, "a.wav", kHyou + sep + "a.wav"},
  };
  for (const auto& c : cases) EXPECT_EQ(pathIn(c.folder, c.name), c.path) << c.folder;
}

TEST(PathNames, APathSplitsIntoItsFolderAndItsFileName) {
  EXPECT_EQ(folderOf("dir/sub\\song.txt"), "dir/sub\\");
  EXPECT_EQ(fileNameOf("dir/sub\\song.txt"), "song.txt");
  EXPECT_EQ(folderOf("song.txt"), "");
  EXPECT_EQ(fileNameOf("song.txt"), "song.txt");
  EXPECT_EQ(pathStem("dir/tr01_01.wav"), "dir/tr01_01");
  EXPECT_EQ(pathStem("my.dir/song"), "my.dir/song");
}

TEST(PathNames, ANameThatWouldLeaveItsFolderOrThatWindowsRefusesIsNotSafe) {
  const bool shiftJis = isLeadByte(0x95);
  for (const test::CaseLine& c : test::readCaseTable("base/data/safe_names.txt")) {
    const bool safe = c.columns.at(1) == "yes" || (c.columns.at(1) == "932" && shiftJis);
    EXPECT_EQ(isSafeFileName(test::unescaped(c.columns.at(0))), safe) << c.where;
  }
}

// A trail byte in "A"-"Z" is part of its character: folding it would make "ア" (83 41) and
// "ャ" (83 61) one name.
TEST(CaseFolding, LowersLettersButNeverTheSecondByteOfADoubleByteCharacter) {
  EXPECT_EQ(caseFolded("Tr01_Piano.WAV"), "tr01_piano.wav");
  EXPECT_EQ(caseFolded("az09_-.@[` {"), "az09_-.@[` {");
  const bool shiftJis = isLeadByte(0x81);  // the platform reads texts as code page 932
  const struct {
    unsigned char lead;
    bool startsCharacter;  // in code page 932
  } leads[] = {{0x81, true}, {0x83, true}, {0x9F, true}, {0xE0, true}, {0xFC, true},
               {0x80, false}, {0xA0, false}, {0xDF, false}};
  for (const auto& [lead, startsCharacter] : leads) {
    for (int trail = 0x41; trail <= 0x5A; ++trail) {
      const bool kept = shiftJis && startsCharacter;
      const std::string name{static_cast<char>(lead), static_cast<char>(trail), 'X'};
      const std::string folded{static_cast<char>(lead), static_cast<char>(kept ? trail : trail + 0x20), 'x'};
      EXPECT_EQ(caseFolded(name), folded) << std::hex << int{lead} << " " << trail;
    }
  }
}

}  // namespace
}  // namespace rendlow
