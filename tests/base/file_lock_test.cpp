// The lock file one process holds at a time.

#include "base/file_lock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "base/platform.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;

TEST(FileLock, OneHolderAtATimeAndTheFileGoesWithTheLock) {
  test::TempDir dir;
  const std::string path = dir.file("song.txt.lock");
  LockAttempt first = tryLockFile(path);
  ASSERT_TRUE(first.lock);
  EXPECT_FALSE(first.lock->staleFound());
  const LockAttempt second = tryLockFile(path);
  EXPECT_FALSE(second.lock);
  EXPECT_TRUE(second.busy);
  EXPECT_EQ(second.holder, std::to_string(processId()));
  first.lock.reset();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(tryLockFile(path).lock);

  const LockAttempt nowhere = tryLockFile(dir.file("gone/song.txt.lock"));
  EXPECT_FALSE(nowhere.lock || nowhere.busy);
  EXPECT_EQ(nowhere.errorNumber, ENOENT);
}

// A file no one holds was left by a process that ended; its number is told when it is one.
TEST(FileLock, AFileLeftBehindIsTakenOverAndSaysWhoseItWas) {
  struct Case {
    std::string contents;
    bool stale;
    std::string leftBy;
  };
  for (const Case& c : {Case{"4194301\n", true, "4194301"}, Case{"lyrics", true, ""},
                        Case{std::string(30, '7'), true, ""}, Case{"", false, ""}}) {
    SCOPED_TRACE(c.contents);
    test::TempDir dir;
    const std::string path = dir.file("song.txt.lock");
    test::writeBytes(path, test::Bytes(c.contents.begin(), c.contents.end()));
    const LockAttempt taken = tryLockFile(path);
    ASSERT_TRUE(taken.lock);
    EXPECT_EQ(taken.lock->staleFound(), c.stale);
    EXPECT_EQ(taken.lock->leftBy(), c.leftBy);
    EXPECT_EQ(tryLockFile(path).holder, std::to_string(processId()));
  }
}

}  // namespace
}  // namespace rendlow
