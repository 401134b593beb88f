// The folder of the running program, where the files shipped with it are looked for.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/platform.h"

namespace rendlow {
namespace {

// This test program runs from the build's tests folder, beside the other suites.
TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  const std::filesystem::path path(systemPath(folder));
  EXPECT_TRUE(path.is_absolute()) << folder;
  const bool here =
      std::filesystem::exists(path / "base_tests") || std::filesystem::exists(path / "base_tests.exe");
  EXPECT_TRUE(here) << folder;
  EXPECT_NE(folder.back(), pathSeparator());
}

}  // namespace
}  // namespace rendlow
