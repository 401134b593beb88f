// The lock file one process holds at a time.

#include "base/file_lock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>

#include "base/platform.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

TEST(FileLock, OneHolderAtATimeAndTheFileGoesWithTheLock) {
  test::TempDir dir;
  const std::string path = dir.file("song.txt.lock");
  LockAttempt first = tryLockFile(path);
  ASSERT_TRUE(first.lock);
  const LockAttempt second = tryLockFile(path);
  EXPECT_TRUE(second.busy && !second.lock);
  EXPECT_EQ(second.holder, std::to_string(processId()));
  first.lock.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(tryLockFile(dir.file("gone/song.txt.lock")).errorNumber, ENOENT);
}

// A file no one holds was left by a process that ended; its number is told when it is one.
TEST(FileLock, AFileLeftBehindIsTakenOverAndSaysWhoseItWas) {
  const std::tuple<std::string, bool, std::string> cases[] = {{"4194301\n", true, "4194301"},
                                                              {"lyrics", true, ""},
                                                              {std::string(30, '7'), true, ""},
                                                              {"", false, ""}};
  for (const auto& [contents, stale, leftBy] : cases) {
    SCOPED_TRACE(contents);
    test::TempDir dir;
    test::writeBytes(dir.file("song.txt.lock"), test::Bytes(contents.begin(), contents.end()));
    const LockAttempt taken = tryLockFile(dir.file("song.txt.lock"));
    ASSERT_TRUE(taken.lock);
    EXPECT_EQ(std::pair(taken.lock->staleFound(), taken.lock->leftBy()), std::pair(stale, leftBy));
    EXPECT_EQ(tryLockFile(dir.file("song.txt.lock")).holder, std::to_string(processId()));
  }
}

}  // namespace
}  // namespace rendlow
