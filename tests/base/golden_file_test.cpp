// The golden-file comparison every writer's test relies on: a difference must fail, and an update
// must never pass on its own.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

struct GoldenCase {
  const char* name;
  const char* golden;  // nullptr: no golden file
  const char* actual;
  const char* failure;  // nullptr: the comparison passes
};

TEST(Golden, FailsOnEveryDifferenceAndLeavesTheCandidateBesideTheGoldenFile) {
  const GoldenCase cases[] = {
      {"same", "a\nb\n", "a\nb\n", nullptr},
      {"changed line", "a\nb\nc\n", "a\nB\nc\n", "first difference at line 2:\n  golden: b\n  actual: B"},
      {"longer", "a\n", "a\nb\n", "first difference at line 2"},
      {"empty output", "a\n", "", "first difference at line 1"},
      {"missing", nullptr, "a\n", "missing golden file"},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string golden = dir.file("song.txt");
    if (c.golden) writeBytes(golden, Bytes(c.golden, c.golden + std::strlen(c.golden)));
    writeBytes(golden + ".new", Bytes{'s', 't', 'a', 'l', 'e'});  // a candidate from an earlier run
    if (c.failure) {
      EXPECT_NONFATAL_FAILURE(expectGolden(c.actual, golden), c.failure);
      EXPECT_EQ(readText(golden + ".new"), c.actual);
      EXPECT_EQ(std::filesystem::exists(golden) ? readText(golden) : "(none)", c.golden ? c.golden : "(none)");
    } else {
      expectGolden(c.actual, golden);
      EXPECT_FALSE(std::filesystem::exists(golden + ".new"));  // a passing comparison removes it
    }
  }
}

}  // namespace
}  // namespace rendlow::test
