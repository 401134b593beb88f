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
#include "support/case_table.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;

// "ギター" in Shift_JIS.
const std::string kGuitar932 = "\x83\x4D\x83\x5E\x81\x5B";

class SystemText : public ::testing::Test {
protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the ANSI code page is 932 there: nothing is converted";
#endif
  }
};

// Texts both encodings hold convert either way, and print as they are. What the other encoding
// cannot hold is refused; shown, each piece that does not fit is marked.
TEST_F(SystemText, ConvertsWhatBothEncodingsHoldAndMarksWhatTheOtherCannot) {
  for (const test::CaseLine& c : test::readCaseTable("base/data/system_texts.txt")) {
    SCOPED_TRACE(c.where);
    const std::string text = test::unescaped(c.columns.at(1)), other = test::unescaped(c.columns.at(2));
    if (c.columns.at(0) == "both") {
      EXPECT_EQ(toProgramText(text), other);
      EXPECT_EQ(toSystemText(other), text);
      EXPECT_EQ(printableText(other), text);
    } else if (c.columns.at(0) == "system") {
      EXPECT_EQ(toProgramText(text), std::nullopt);
      EXPECT_EQ(describedInProgramText(text), other);
    } else {
      EXPECT_EQ(toSystemText(text), std::nullopt);
      EXPECT_EQ(printableText(text), other);
    }
  }
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
