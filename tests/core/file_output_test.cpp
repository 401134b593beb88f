#include <gtest/gtest.h>

#include "base/file_output.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

TEST(WriteFileAtomically, ReplacesTheFileAndLeavesNoTemporaryBehind) {
  test::TempDir dir;
  const std::string path = dir.file("out.mid");
  test::writeBytes(path, {'o', 'l', 'd'});
  ASSERT_TRUE(writeFileAtomically(path, std::string_view("new\0bytes", 9), FileMode::Binary));
  EXPECT_EQ(test::readText(path), std::string("new\0bytes", 9));
  EXPECT_TRUE(test::readBytes(path + ".rendlow-tmp").empty());
}

TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  test::TempDir dir;
  const std::string path = dir.file("missing-folder/out.txt");
  const WriteStatus status = writeFileAtomically(path, "x\n", FileMode::Text);
  EXPECT_FALSE(status);
  EXPECT_FALSE(status.reason.empty());
  EXPECT_FALSE(writeFileAtomically("", "x", FileMode::Text));
}

}  // namespace
}  // namespace rendlow
