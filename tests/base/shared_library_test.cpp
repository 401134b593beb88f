// Shared libraries opened while the program runs: the first of the names given that opens, its
// functions found by name, and, when none opens, the system's reason for the first name.

#include "base/shared_library.h"

#include <gtest/gtest.h>

#include <string>

namespace rendlow {
namespace {

// A library every system of its kind has, holding the C library's cosine; and names none has.
#ifdef _WIN32
constexpr const char* kMathLibrary = "msvcrt.dll";
constexpr const char* kMissing = "rendlow-missing.dll";
constexpr const char* kAlsoMissing = "rendlow-also-missing.dll";
#else
constexpr const char* kMathLibrary = "libm.so.6";
constexpr const char* kMissing = "librendlow-missing.so";
constexpr const char* kAlsoMissing = "librendlow-also-missing.so";
#endif

std::string english(const Problem& problem) { return problem.message.in(Audience::EnglishConsole); }

TEST(SharedLibrary, OpensTheFirstNameThereOrSaysWhyTheFirstNameDidNot) {
  EXPECT_TRUE(SharedLibrary::open({kMathLibrary}));
  EXPECT_TRUE(SharedLibrary::open({kMissing, kMathLibrary}));
  EXPECT_FALSE(SharedLibrary::open({kMissing}));
  const Result<SharedLibrary> none = SharedLibrary::open({kMissing, kAlsoMissing});
  ASSERT_FALSE(none);
  // The system's own words, after the name of the file.
  const std::string reason = english(none.problem());
  EXPECT_EQ(reason.rfind(std::string(kMissing) + ": ", 0), 0u) << reason;
  EXPECT_GT(reason.size(), std::string(kMissing).size() + 2) << reason;
  EXPECT_EQ(reason.find(kAlsoMissing), std::string::npos) << reason;
}

TEST(SharedLibrary, FindsTheFunctionsOfALibraryByName) {
  const Result<SharedLibrary> library = SharedLibrary::open({kMathLibrary});
  ASSERT_TRUE(library);
  double (*cosine)(double) = nullptr;
  ASSERT_TRUE(library->bind("cos", cosine));
  EXPECT_EQ(cosine(0.0), 1.0);
  int (*missing)() = nullptr;
  EXPECT_FALSE(library->bind("rendlow_missing_function", missing));
  EXPECT_EQ(missing, nullptr);
}

}  // namespace
}  // namespace rendlow
