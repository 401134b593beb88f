// Replacing files: the mode a file had, names as long as the system allows, files that stand or
// fall together, and interrupts.

#include "base/file_output.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

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

std::size_t filesIn(const test::TempDir& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
}

#ifndef _WIN32
// Who may read a file is the author's choice, which a new version of it keeps; a new file gets
// what the system gives any.
TEST(WriteFileAtomically, AReplacedFileKeepsItsModeAndANewOneGetsTheUsual) {
  test::TempDir dir;
  const auto modeOf = [&dir](const char* name) { return fs::status(dir.file(name)).permissions(); };
  for (const fs::perms mode : {fs::perms(0640), fs::perms(0755), fs::perms(0444)}) {
    writeText(dir.file("song.txt"), "old");
    fs::permissions(dir.file("song.txt"), mode);
    ASSERT_TRUE(writeFileAtomically(dir.file("song.txt"), "new", FileMode::Text));
    EXPECT_EQ(modeOf("song.txt"), mode);
  }
  writeText(dir.file("usual.txt"), "");
  ASSERT_TRUE(writeFileAtomically(dir.file("new.txt"), "new", FileMode::Text));
  EXPECT_EQ(modeOf("new.txt"), modeOf("usual.txt"));
}
#endif

// The temporary beside a file has a short name of its own, so a name as long as the system
// allows still writes.
TEST(WriteFileAtomically, ANameAsLongAsTheSystemAllowsStillWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "there the ANSI calls stop at 260 bytes of the whole path";
#endif
  test::TempDir dir;
  const std::string path = dir.file(std::string(251, 'n') + ".bme");
  ASSERT_TRUE(writeFileAtomically(path, "new", FileMode::Text));
  EXPECT_EQ(readText(path), "new");
}

struct Pair {
  test::TempDir dir;
  std::string first = dir.file("song_out.mid");
  std::string second = dir.file("song_out.bme");

  std::optional<FailedFile> write() const {
    const FileToWrite files[] = {{first, "new mid", FileMode::Binary}, {second, "new bme", FileMode::Binary}};
    return writeFilesTogether(files);
  }
};

// Every job's pair is written together; here the ways it fails.
TEST(WriteFilesTogether, BothStandOrNeitherChanges) {
  // The second cannot be put in place (a folder has its name): the first is put back, the old
  // file or none, and nothing else is left.
  for (const bool firstExisted : {true, false}) {
    SCOPED_TRACE(firstExisted);
    Pair blocked;
    if (firstExisted) writeText(blocked.first, "old mid");
    fs::create_directory(blocked.second);
    writeText(blocked.second + "/inside", "kept");
    const std::optional<FailedFile> failed = blocked.write();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->index, 1u);
    EXPECT_EQ(fs::exists(blocked.first) ? readText(blocked.first) : "none",
              firstExisted ? "old mid" : "none");
    EXPECT_EQ(filesIn(blocked.dir), firstExisted ? 2u : 1u);
  }

  // The first cannot be written: the second is never touched.
  Pair missing;
  missing.first = missing.dir.file("gone/song_out.mid");
  writeText(missing.second, "old bme");
  const std::optional<FailedFile> failed = missing.write();
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->index, 0u);
  EXPECT_EQ(readText(missing.second), "old bme");
  EXPECT_EQ(filesIn(missing.dir), 1u);
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
    std::exit(refused && readText(pair.first) == "old mid" && filesIn(pair.dir) == 1 ? 0 : 1);
  };
  EXPECT_EXIT(interrupted(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace rendlow
