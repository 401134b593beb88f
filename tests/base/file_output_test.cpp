// Replacing files: the mode a file had, names as long as the system allows, files that stand or
// fall together, and interrupts.

#include "base/file_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/interruption.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

namespace fs = std::filesystem;
using test::readText;

void writeText(const std::string& path, const std::string& text) {
  test::writeBytes(path, test::Bytes(text.begin(), text.end()));
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

#ifndef _WIN32
unsigned modeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 0777;
}

// Who may read a file is the author's choice, which a new version of it keeps; a new file gets
// what the system gives any.
TEST(WriteFileAtomically, AReplacedFileKeepsItsModeAndANewOneGetsTheUsual) {
  test::TempDir dir;
  for (const unsigned mode : {0600u, 0640u, 0755u, 0444u}) {
    const std::string path = dir.file("song.txt");
    writeText(path, "old");
    fs::permissions(path, static_cast<fs::perms>(mode));
    ASSERT_TRUE(writeFileAtomically(path, "new", FileMode::Text));
    EXPECT_EQ(readText(path), "new");
    EXPECT_EQ(modeOf(path), mode) << std::oct << mode;
  }
  const mode_t mask = umask(022);
  umask(mask);
  ASSERT_TRUE(writeFileAtomically(dir.file("new.txt"), "new", FileMode::Text));
  EXPECT_EQ(modeOf(dir.file("new.txt")), 0666u & ~mask);
}
#endif

// The temporary beside a file has a short name of its own: a name as long as the system allows
// writes, and one past it fails with nothing left behind.
TEST(WriteFileAtomically, ANameAsLongAsTheSystemAllowsStillWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "there the ANSI calls stop at 260 bytes of the whole path";
#endif
  test::TempDir dir;
  for (const std::size_t length : {244u, 255u}) {
    const std::string path = dir.file(std::string(length - 4, 'n') + ".bme");
    ASSERT_TRUE(writeFileAtomically(path, "new", FileMode::Text)) << length;
    EXPECT_EQ(readText(path), "new");
    fs::remove(path);
  }
  EXPECT_FALSE(writeFileAtomically(dir.file(std::string(256, 'n')), "new", FileMode::Binary));
  EXPECT_TRUE(namesIn(dir.path()).empty());
}

struct Pair {
  test::TempDir dir;
  std::string first = dir.file("song_out.mid");
  std::string second = dir.file("song_out.bme");

  std::optional<FailedFile> write() const {
    const FileToWrite files[] = {{first, "new mid", FileMode::Binary}, {second, "new bme\n", FileMode::Binary}};
    return writeFilesTogether(files);
  }
};

TEST(WriteFilesTogether, BothStandOrNeitherChanges) {
  Pair fresh;
  EXPECT_FALSE(fresh.write());
  EXPECT_EQ(readText(fresh.first), "new mid");
  EXPECT_EQ(readText(fresh.second), "new bme\n");
  EXPECT_FALSE(fresh.write());
  EXPECT_EQ(namesIn(fresh.dir.path()), (std::vector<std::string>{"song_out.bme", "song_out.mid"}));

  // The first file in place, the second cannot be (a folder has its name): the first is put back,
  // the old file or none; nothing else is left.
  for (const bool firstExisted : {true, false}) {
    SCOPED_TRACE(firstExisted);
    Pair blocked;
    if (firstExisted) writeText(blocked.first, "old mid");
    fs::create_directory(blocked.second);
    writeText(blocked.second + "/inside", "kept");
    const std::optional<FailedFile> failed = blocked.write();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->index, 1u);
    EXPECT_EQ(fs::exists(blocked.first), firstExisted);
    if (firstExisted) {
      EXPECT_EQ(readText(blocked.first), "old mid");
    }
    EXPECT_EQ(readText(blocked.second + "/inside"), "kept");
    EXPECT_EQ(namesIn(blocked.dir.path()).size(), firstExisted ? 2u : 1u);
  }

  // The first cannot be written: the second is never touched.
  Pair missing;
  missing.first = missing.dir.file("gone/song_out.mid");
  writeText(missing.second, "old bme");
  const std::optional<FailedFile> failed = missing.write();
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->index, 0u);
  EXPECT_EQ(readText(missing.second), "old bme");
  EXPECT_EQ(namesIn(missing.dir.path()), std::vector<std::string>{"song_out.bme"});
}

// Once an interrupt is noted, no file is put in place and no temporary stays. Run apart, as the
// note lasts as long as the process.
TEST(WriteFilesDeathTest, AfterAnInterruptEveryFileStaysAsItWas) {
  Pair pair;
  writeText(pair.first, "old mid");
  const auto interrupted = [&pair] {
    noteInterrupts();
    std::raise(SIGTERM);
    const bool refused = !writeFileAtomically(pair.first, "new", FileMode::Binary) && pair.write();
    const bool kept = readText(pair.first) == "old mid" && namesIn(pair.dir.path()).size() == 1;
    std::exit(refused && kept ? 0 : 1);
  };
  EXPECT_EXIT(interrupted(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace rendlow
