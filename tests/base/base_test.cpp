// Texts taken from outside, printf-style formatting, messages (every form of a text kept apart,
// every whole message shaped alike), the atomic write, and file identity.

#include "base/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_output.h"
#include "base/format.h"
#include "base/messages.h"
#include "base/platform.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

using namespace std::string_literals;

TEST(Text, EndsAtTheFirstNulAndKeeps511Bytes) {
  EXPECT_EQ(boundedText("Pia\0no"s), "Pia");
  EXPECT_EQ(boundedText(std::string(511, 'n')), std::string(511, 'n'));
  EXPECT_EQ(boundedText(std::string(600, 'n') + "\0x"s), std::string(511, 'n'));
  EXPECT_EQ(displayText(std::string(512, 'd')), std::string(511, 'd'));
  EXPECT_EQ(displayText("ab\0cd"s), "ab");
  EXPECT_EQ(findLastChar("a.b.mid", '.'), 3u);
  EXPECT_EQ(findLastChar(".", '.'), 0u);
  EXPECT_EQ(findLastChar("song", '.'), std::string_view::npos);
}

TEST(AppendFormatted, AppendsTextOfAnyLength) {
  std::string out = "head ";
  const std::string longText(5000, 'x');
  appendFormatted(out, "%d %s|", 42, longText.c_str());
  EXPECT_EQ(out, "head 42 " + longText + "|");
}

constexpr Audience kAll[] = {Audience::Window, Audience::JapaneseConsole, Audience::EnglishConsole};

// A first line saying what happened, then the file, then the reason, in every form. (Tests hold
// no Japanese text: the engine's is in the system code page, which differs on Windows.)
TEST(Messages, AFirstLineThenTheFileThenTheReason) {
  const Message reason = Message::perAudience("R1", "R2", "R3");
  for (const Message& message :
       {midiNotWrittenMessage("o.mid", reason), settingsNotSavedMessage("o.mid", reason),
        chartFailedMessage("o.mid", reason), chartRefusedMessage("o.mid", reason),
        midiNotLoadedMessage("o.mid", reason), settingsUnreadableMessage("o.mid", reason),
        midiUnreadableMessage("o.mid", reason), midiDamagedMessage("o.mid", reason)}) {
    for (std::size_t a = 0; a < std::size(kAll); ++a) {
      const std::string& text = message.in(kAll[a]);
      const std::size_t file = text.find('\n') + 1, reason = text.find('\n', file) + 1;
      EXPECT_EQ(text.substr(reason - 8, 10), ": o.mid\nR" + std::to_string(a + 1)) << text;
      EXPECT_TRUE(a < 2 || text.substr(file, reason - file) == "File: o.mid\n") << text;
    }
  }
  EXPECT_EQ(midiNotLoadedMessage("a.mid", reason, "a.txt").in(Audience::EnglishConsole),
            "The MIDI file cannot be read.\nFile: a.mid\nNamed by the settings file: a.txt\nR3");
}

// Forms are joined form by form; a track is named by number and name; an error the catalogue
// has no words for is told as the C library tells it.
TEST(Messages, ReasonsNameTheTrackAndTellUnknownErrorsAsTheSystemDoes) {
  const Message joined = Message("ja ", "en ") + Message::perAudience("w", "j", "e");
  EXPECT_EQ(joined.in(Audience::Window) + joined.in(Audience::JapaneseConsole) + joined.in(Audience::EnglishConsole),
            "ja wja jen e");
  EXPECT_EQ(trackCutShortDamage(2, "").in(Audience::EnglishConsole).rfind("track 2 \"(no name)\":", 0), 0u);
  EXPECT_NE(trackCutShortDamage(3, "Lead").in(Audience::Window).find("Lead"), std::string::npos);
  EXPECT_EQ(readReason(EXDEV).in(Audience::EnglishConsole).rfind(std::string(std::strerror(EXDEV)) + ". Check", 0), 0u);
  EXPECT_EQ(writeReason(EACCES).in(Audience::EnglishConsole).rfind("Access denied. ", 0), 0u);
}

namespace fs = std::filesystem;
using test::readText;
using test::writeBytes;

const test::Bytes kOld{'o', 'l', 'd'};

// The new file is a new file, and no temporary is left behind: a second name of the old one still
// reads the old bytes, as it would if the program were stopped half way through the write. A write
// that fails keeps the file as it was and says why.
TEST(WriteFileAtomically, ReplacesTheFileOrKeepsItAndSaysWhy) {
  test::TempDir dir;
  const std::string path = dir.file("out.mid");
  writeBytes(path, kOld);
  fs::create_hard_link(path, dir.file("link.mid"));
  ASSERT_TRUE(writeFileAtomically(path, std::string_view("new\0bytes\n", 10), FileMode::Binary));
  EXPECT_EQ(readText(path), std::string("new\0bytes\n", 10));
  EXPECT_EQ(readText(dir.file("link.mid")), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

  // A folder where the file would be is kept as it is. Whatever stops a write, once the temporary
  // stands or before, nothing of it is left behind.
  fs::create_directory(dir.file("folder"));
  writeBytes(dir.file("folder/inside"), kOld);
  const Result<void> blocked = writeFileAtomically(dir.file("folder"), "newer\n", FileMode::Text);
  ASSERT_FALSE(blocked);
  EXPECT_EQ(readText(dir.file("folder/inside")), "old");
  EXPECT_NE(blocked.problem().message.in(Audience::EnglishConsole).find(". Check that the folder"), std::string::npos);
  const Result<void> missing = writeFileAtomically(dir.file("missing/out.txt"), "x\n", FileMode::Text);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.problem().message.in(Audience::EnglishConsole).rfind("No such file or folder. Check", 0), 0u);
  EXPECT_FALSE(writeFileAtomically("", "x", FileMode::Text));
  EXPECT_FALSE(writeFileAtomically(dir.file(std::string(256, 'n')), "new", FileMode::Binary));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

// The files of a folder, by name.
std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A link the author made to a file elsewhere stays a link, and the file it points to takes the
// new bytes; the temporary is made beside that file, where the rename can reach it.
TEST(WriteFileAtomically, WritesThroughALinkToTheFileItPointsTo) {
  test::TempDir dir;
  fs::create_directory(dir.file("real"));
  writeBytes(dir.file("real/out.mid"), kOld);
  std::error_code noSymlinks;  // a system may refuse them to an ordinary user
  fs::create_symlink(fs::path("real") / "out.mid", dir.file("hop.mid"), noSymlinks);
  fs::create_symlink("hop.mid", dir.file("out.mid"), noSymlinks);
  if (noSymlinks) GTEST_SKIP() << "symbolic links cannot be made here";
  ASSERT_TRUE(writeFileAtomically(dir.file("out.mid"), "new", FileMode::Binary));
  EXPECT_TRUE(fs::is_symlink(dir.file("out.mid")));
  EXPECT_TRUE(fs::is_symlink(dir.file("hop.mid")));
  EXPECT_EQ(readText(dir.file("real/out.mid")), "new");
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"hop.mid", "out.mid", "real"}));
  EXPECT_EQ(namesIn(dir.file("real")), std::vector<std::string>{"out.mid"});
}

TEST(SameFile, ByIdentityNotBySpelling) {
  test::TempDir dir;
  const std::string path = dir.file("song.mid");
  writeBytes(path, kOld);
  writeBytes(dir.file("other.mid"), kOld);
  fs::create_directory(dir.file("sub"));
  fs::create_hard_link(path, dir.file("hardlink.mid"));
  std::error_code noSymlinks;  // a system may refuse them to an ordinary user
  fs::create_symlink(path, dir.file("symlink.mid"), noSymlinks);
  for (const char* alias : {"sub/../song.mid", "hardlink.mid", noSymlinks ? "hardlink.mid" : "symlink.mid"})
    EXPECT_TRUE(sameFile(path, dir.file(alias)));
  EXPECT_FALSE(sameFile(path, dir.file("other.mid")));
  EXPECT_FALSE(sameFile(dir.file("missing.mid"), dir.file("missing.mid")));
}

}  // namespace
}  // namespace rendlow
