// The atomic write and the file identity the output refusals rely on.

#include "base/file_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/platform.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeBytes;

const test::Bytes kOld{'o', 'l', 'd'};

TEST(WriteFileAtomically, ReplacesTheFileAndLeavesNoTemporaryBehind) {
  test::TempDir dir;
  const std::string path = dir.file("out.mid");
  writeBytes(path, kOld);
  ASSERT_TRUE(writeFileAtomically(path, std::string_view("new\0bytes\n", 10), FileMode::Binary));
  EXPECT_EQ(readText(path), std::string("new\0bytes\n", 10));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// The new file is a new file: a second name of the old one still reads the old bytes, as it
// would if the program were stopped half way through the write.
TEST(WriteFileAtomically, AHardLinkToTheTargetKeepsTheOldBytes) {
  test::TempDir dir;
  const std::string path = dir.file("out.bme");
  writeBytes(path, kOld);
  ASSERT_EQ(::link(path.c_str(), dir.file("link.bme").c_str()), 0);
  ASSERT_TRUE(writeFileAtomically(path, "#PLAYER 1\n", FileMode::Text));
  EXPECT_EQ(readText(path), "#PLAYER 1\n");
  EXPECT_EQ(readText(dir.file("link.bme")), "old");
}

TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  test::TempDir dir;
  const std::string path = dir.file("out.txt");
  writeBytes(path, kOld);
  // The temporary cannot be made where a folder has its name.
  fs::create_directory(path + ".rendlow-tmp");
  const Result<void> blocked = writeFileAtomically(path, "new\n", FileMode::Text);
  ASSERT_FALSE(blocked);
  EXPECT_EQ(readText(path), "old");
  EXPECT_EQ(blocked.problem().message.in(Audience::EnglishConsole).rfind("A folder has that name. Check", 0), 0u);

  const Result<void> missing = writeFileAtomically(dir.file("missing/out.txt"), "x\n", FileMode::Text);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.problem().message.in(Audience::EnglishConsole).rfind("No such file or folder. Check", 0), 0u);
  EXPECT_FALSE(writeFileAtomically("", "x", FileMode::Text));
}

TEST(SameFile, ByIdentityNotBySpelling) {
  test::TempDir dir;
  const std::string path = dir.file("song.mid");
  writeBytes(path, kOld);
  writeBytes(dir.file("other.mid"), kOld);
  fs::create_directory(dir.file("sub"));
  fs::create_symlink(path, dir.file("symlink.mid"));
  ASSERT_EQ(::link(path.c_str(), dir.file("hardlink.mid").c_str()), 0);
  EXPECT_TRUE(sameFile(path, dir.file("sub/../song.mid")));
  EXPECT_TRUE(sameFile(path, dir.file("symlink.mid")));
  EXPECT_TRUE(sameFile(path, dir.file("hardlink.mid")));
  EXPECT_FALSE(sameFile(path, dir.file("other.mid")));
  EXPECT_FALSE(sameFile(dir.file("missing.mid"), dir.file("missing.mid")));
}

}  // namespace
}  // namespace rendlow
