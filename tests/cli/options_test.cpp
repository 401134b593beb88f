#include "cli/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace rendlow::cli {
namespace {

ParseResult parse(std::vector<std::string> args) { return parseOptions(args); }

TEST(ParseOptions, ReadsTheListCommandWithItsFlagInAnyOrder) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--list", "--verbose", "song.mid"},
                                                                {"song.mid", "-v", "--list"},
                                                                {"--verbose", "--list", "song.mid"}}) {
    const ParseResult result = parse(args);
    ASSERT_TRUE(result.options) << result.error;
    EXPECT_EQ(result.options->command, Command::List);
    EXPECT_TRUE(result.options->verbose);
    EXPECT_EQ(result.options->input, "song.mid");
  }
  const ParseResult plain = parse({"--list", "song.mid"});
  ASSERT_TRUE(plain.options);
  EXPECT_FALSE(plain.options->verbose);
}

TEST(ParseOptions, TakesEverythingAfterDoubleDashAsAFileName) {
  const ParseResult result = parse({"--list", "--", "-song.mid"});
  ASSERT_TRUE(result.options) << result.error;
  EXPECT_EQ(result.options->input, "-song.mid");
  EXPECT_FALSE(parse({"--list", "--", "--verbose", "a.mid"}).options);  // two files
}

TEST(ParseOptions, HelpWinsOverWhatFollowsButNotOverAnEarlierMistake) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"--list", "--help"}, {"-h", "--bogus"}, {"a.mid", "--help", "b.mid"}}) {
    const ParseResult result = parse(args);
    ASSERT_TRUE(result.options) << args.front();
    EXPECT_EQ(result.options->command, Command::Help);
  }
  EXPECT_FALSE(parse({"--bogus", "--help"}).options);
  EXPECT_FALSE(parse({"a.mid", "b.mid", "--help"}).options);
}

TEST(ParseOptions, ExplainsEveryMistake) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{}, "no command given (--list)"},
      {{"song.mid"}, "no command given (--list)"},
      {{"--list"}, "no input file given"},
      {{"--list", ""}, "the input file name is empty"},
      {{"--list", "a.mid", "b.mid"}, "more than one input file: \"a.mid\" and \"b.mid\""},
      {{"--list", "--bogus", "a.mid"}, "unknown option \"--bogus\""},
      {{"--list", "-x", "a.mid"}, "unknown option \"-x\""},
      {{"--list=yes", "a.mid"}, "option \"--list\" takes no value"},
      {{"--lis", "a.mid"}, "unknown option \"--lis\""},
  };
  for (const Case& c : cases) {
    const ParseResult result = parse(c.args);
    EXPECT_FALSE(result.options);
    EXPECT_EQ(result.error, c.error);
  }
}

TEST(UsageText, ShowsTheCommandLineAndEveryOption) {
  const std::string usage = usageText();
  EXPECT_EQ(usage.rfind("Usage: rendlow-cli --list [--verbose] INPUT\n", 0), 0u);
  EXPECT_NE(usage.find("  -h, --help  "), std::string::npos);
  EXPECT_NE(usage.find("      --list  "), std::string::npos);
  EXPECT_NE(usage.find("  -v, --verbose  "), std::string::npos);
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace rendlow::cli
