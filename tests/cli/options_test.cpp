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
    EXPECT_EQ(result.options->inputs, std::vector<std::string>{"song.mid"});
  }
  const ParseResult plain = parse({"--list", "song.mid"});
  ASSERT_TRUE(plain.options);
  EXPECT_FALSE(plain.options->verbose);
}

TEST(ParseOptions, TakesEverythingAfterDoubleDashAsAFileName) {
  const ParseResult result = parse({"--no-chart", "--", "-song.mid", "--verbose"});
  ASSERT_TRUE(result.options) << result.error;
  EXPECT_EQ(result.options->inputs, (std::vector<std::string>{"-song.mid", "--verbose"}));
  EXPECT_FALSE(result.options->verbose);
}

TEST(ParseOptions, HelpWinsOverWhatFollowsButNotOverAnEarlierMistake) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"--list", "--help"}, {"-h", "--bogus"}, {"a.mid", "--help", "b.mid"}}) {
    const ParseResult result = parse(args);
    ASSERT_TRUE(result.options) << args.front();
    EXPECT_EQ(result.options->command, Command::Help);
  }
  EXPECT_FALSE(parse({"--bogus", "--help"}).options);
}

TEST(ParseOptions, AConversionTakesItsOutputsHeaderTextsAndEditsInOrder) {
  const ParseResult result = parse({"a.mid", "--set", "1:gridUnit=480", "--genre=Pop", "-q", "--title", "T",
                                    "--set=0:definitionName=piano", "--artist", "", "b.txt", "--no-chart"});
  ASSERT_TRUE(result.options) << result.error;
  const Options& o = *result.options;
  EXPECT_EQ(o.command, Command::Convert);
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.mid", "b.txt"}));
  EXPECT_EQ(o.outputs, Outputs::MidiOnly);
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.genre, "Pop");
  EXPECT_EQ(o.title, "T");
  EXPECT_EQ(o.artist, "");
  EXPECT_FALSE(o.output);
  ASSERT_EQ(o.edits.size(), 2u);
  EXPECT_EQ(o.edits[0].row, 1);
  EXPECT_EQ(o.edits[0].field, "gridUnit");
  EXPECT_EQ(o.edits[0].number, 480);
  EXPECT_EQ(o.edits[1].text, "piano");

  const ParseResult settingsOnly = parse({"--settings-only", "--no-chart", "-o", "out.mid", "a.mid"});
  ASSERT_TRUE(settingsOnly.options) << settingsOnly.error;
  EXPECT_EQ(settingsOnly.options->outputs, Outputs::SettingsOnly);
  EXPECT_EQ(settingsOnly.options->output, "out.mid");
}

TEST(ParseOptions, ExplainsEveryMistake) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{}, "no input file given"},
      {{"--list"}, "no input file given"},
      {{"--list", ""}, "the input file name is empty"},
      {{"--list", "a.mid", "b.mid"}, "--list takes one input file, not 2"},
      {{"-o", "out.mid", "a.mid", "b.mid"}, "-o names the output of one input file, not of 2"},
      {{"-o", "", "a.mid"}, "the output file name is empty"},
      {{"a.mid", "-o"}, "option \"-o\" needs a value"},
      {{"--set", "0:gridUnit", "a.mid"}, "--set \"0:gridUnit\" is not ROW:FIELD=VALUE"},
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
  EXPECT_EQ(
      usage.rfind("Usage: rendlow-cli [options] INPUT...\n       rendlow-cli --list [--verbose] INPUT\n", 0),
      0u);
  EXPECT_NE(usage.find("  -o, --output PATH  "), std::string::npos);
  EXPECT_NE(usage.find("      --set ROW:FIELD=VALUE  "), std::string::npos);
  EXPECT_NE(usage.find("  -q, --quiet  "), std::string::npos);
  EXPECT_NE(usage.find("  -h, --help  "), std::string::npos);
  EXPECT_NE(usage.find("      --list  "), std::string::npos);
  EXPECT_NE(usage.find("  -v, --verbose  "), std::string::npos);
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace rendlow::cli
