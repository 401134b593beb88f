// The program's texts (code page 932) against the system's encoding: the conversions both ways,
// how a text that does not convert is shown, and the file functions, which give the file system
// its own spelling of every name. The tests run without a locale, which reads as UTF-8.

#include "base/system_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/file_input.h"
#include "base/file_output.h"
#include "base/messages.h"
#include "base/platform.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;

// "ギター" and "ｱ" (half-width) in Shift_JIS.
const std::string kGuitar932 = "\x83\x4D\x83\x5E\x81\x5B";
const std::string kHalfWidthA932 = "\xB1";

class SystemText : public ::testing::Test {
protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the ANSI code page is 932 there: nothing is converted";
#endif
  }
};

struct Pair {
  std::string system;                  // UTF-8
  std::optional<std::string> program;  // code page 932; nothing when 932 cannot hold it
};

TEST_F(SystemText, TextsOfTheSystemBecomeCodePage932OrAreRefused) {
  const Pair cases[] = {
      {"plain ASCII ~\\", "plain ASCII ~\\"}, {"ギター", kGuitar932},  {"ｱ", kHalfWidthA932},
      {"tr01 ギター", "tr01 " + kGuitar932},  {"Josée", std::nullopt}, {"🎵", std::nullopt},
      {"bad \xFF byte", std::nullopt},
  };
  for (const Pair& c : cases) EXPECT_EQ(toProgramText(c.system), c.program) << c.system;
}

TEST_F(SystemText, TextsOfTheProgramBecomeTheSystemsOrAreRefused) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {kGuitar932, "ギター"},    {kHalfWidthA932, "ｱ"},
      {"\x95\x5C", "表"},         // a trail byte that is a backslash in ASCII
      {"\x83", std::nullopt},     // a lead byte without its trail
      {"Caf\xE9", std::nullopt},  // Latin-1
  };
  for (const auto& [program, system] : cases) EXPECT_EQ(toSystemText(program), system) << program;
}

TEST_F(SystemText, WhatIsNotCodePage932IsPrintedEscapedByteByByte) {
  const std::pair<std::string, std::string> cases[] = {
      {kGuitar932, "ギター"},
      {"Caf\xE9", "Caf\\xE9"},
      {"\xFD Piano " + kGuitar932, "\\xFD Piano ギター"},
      {"\x83", "\\x83"},
  };
  for (const auto& [program, printed] : cases) EXPECT_EQ(printableText(program), printed) << program;
}

TEST_F(SystemText, ARefusedTextIsDescribedWithEachCharacterThatDoesNotFitMarked) {
  const std::pair<std::string, std::string> cases[] = {
      {"Josée", "Jos<U+00E9>e"},
      {"ギター🎵", kGuitar932 + "<U+1F3B5>"},
      {"bad \xFF", "bad \\xFF"},
  };
  for (const auto& [system, described] : cases)
    EXPECT_EQ(describedInProgramText(system), described) << system;
}

TEST_F(SystemText, AnAsciiLocaleReadsAsUtf8AndAJapaneseOneAsItSays) {
  for (const char* locale : {"C", "POSIX", "ja_JP.UTF-8"}) {
    if (!std::setlocale(LC_CTYPE, locale)) continue;
    EXPECT_EQ(toProgramText("ギター"), kGuitar932) << locale;
    EXPECT_EQ(toSystemText(kGuitar932), "ギター") << locale;
  }
  std::setlocale(LC_CTYPE, "C");
}

// The file functions, given names in code page 932, meet files named in UTF-8 on the disk.
class FileNames : public SystemText {
protected:
  std::string file(const std::string& name932) const { return dir.path() + "/" + name932; }
  fs::path onDisk(const std::string& utf8) const { return fs::path(dir.path()) / utf8; }

  test::TempDir dir;
};

TEST_F(FileNames, AFileWrittenUnderAJapaneseNameIsNamedInTheSystemsEncoding) {
  ASSERT_TRUE(writeFileAtomically(file(kGuitar932 + ".txt"), "x", FileMode::Binary));
  EXPECT_TRUE(fs::exists(onDisk("ギター.txt")));
  EXPECT_TRUE(fileExists(file(kGuitar932 + ".txt")));
  EXPECT_EQ(fs::directory_iterator(dir.path())->path().filename().string(),
            "ギター.txt");  // nothing beside it
}

TEST_F(FileNames, FilesNamedInTheSystemsEncodingAreFoundByTheirJapaneseNames) {
  fs::create_directories(onDisk("曲"));
  for (const char* name : {"曲/ギター.wav", "曲/tr01.wav"}) std::ofstream(onDisk(name)) << "x";
  fs::create_symlink(onDisk("曲/ギター.wav"), onDisk("リンク.wav"));
  const std::string folder932 = file("\x8B\xC8");  // "曲"
  const Result<std::vector<std::string>> names = fileNamesIn(folder932, &readReason);
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, (std::vector<std::string>{"tr01.wav", kGuitar932 + ".wav"}));
  const std::string guitar = folder932 + "/" + kGuitar932 + ".wav";
  const std::string link = file("\x83\x8A\x83\x93\x83\x4E.wav");  // "リンク.wav"
  EXPECT_TRUE(openForReading(guitar, {}));
  EXPECT_TRUE(readWholeFile<std::string>(guitar, {}));
  EXPECT_TRUE(sameFile(link, guitar));
  EXPECT_EQ(linkTarget(link), guitar);
  EXPECT_EQ(outputSpot(guitar), OutputSpot::WritableFile);
  EXPECT_EQ(outputSpot(folder932), OutputSpot::NotAFile);
  ASSERT_TRUE(replaceFile(guitar, folder932 + "/tr02.wav"));
  EXPECT_TRUE(fs::exists(onDisk("曲/tr02.wav")));
  EXPECT_FALSE(fs::exists(onDisk("曲/ギター.wav")));
}

TEST_F(FileNames, TheWorkingFolderReadsInTheProgramsTexts) {
  fs::create_directories(onDisk("曲"));
  test::WorkingFolder here(onDisk("曲").string());
  EXPECT_EQ(absolutePath(kGuitar932), file("\x8B\xC8/" + kGuitar932));
}

}  // namespace
}  // namespace rendlow
