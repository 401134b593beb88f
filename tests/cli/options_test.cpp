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
  const ParseResult result = parse({"--list", "--", "-song.mid"});
  ASSERT_TRUE(result.options) << result.error;
  EXPECT_EQ(result.options->inputs, std::vector<std::string>{"-song.mid"});
  const ParseResult two = parse({"--", "--verbose", "a.mid"});
  ASSERT_TRUE(two.options) << two.error;
  EXPECT_EQ(two.options->inputs, (std::vector<std::string>{"--verbose", "a.mid"}));
  EXPECT_FALSE(two.options->verbose);
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

TEST(ParseOptions, AConversionIsTheCommandWhenNoOtherIsGiven) {
  const ParseResult result = parse({"a.mid", "--genre=Pop", "-q", "--title", "T", "--artist", "", "b.txt"});
  ASSERT_TRUE(result.options) << result.error;
  const Options& o = *result.options;
  EXPECT_EQ(o.command, Command::Convert);
  EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.mid", "b.txt"}));
  EXPECT_TRUE(o.chart);
  EXPECT_FALSE(o.settingsOnly);
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.genre, "Pop");
  EXPECT_EQ(o.title, "T");
  EXPECT_EQ(o.artist, "");
  const ParseResult settingsOnly = parse({"--settings-only", "-o", "out.mid", "a.mid"});
  ASSERT_TRUE(settingsOnly.options) << settingsOnly.error;
  EXPECT_TRUE(settingsOnly.options->settingsOnly);
  EXPECT_EQ(settingsOnly.options->outputPath, "out.mid");
}

TEST(ParseOptions, ExplainsEveryMistake) {
  const std::string kListTakesNoOutputs =
      "--list writes nothing: it takes no --no-chart, --settings-only, -o, --set, --genre, --title, --artist "
      "or -q";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{}, "no input file given"},
      {{"-q"}, "no input file given"},
      {{"--list"}, "no input file given"},
      {{"--list", ""}, "the input file name is empty"},
      {{"--list", "a.mid", "b.mid"}, "--list takes one input file"},
      {{"-o", "x.mid", "a.mid", "b.mid"}, "-o names the output of one input file, and 2 are given"},
      {{"--genre", "a\nb", "a.mid"}, "a chart header text holds a line break"},
      {{"--title", std::string(512, 't'), "a.mid"}, "a chart header text is longer than 511 bytes"},
      {{"--list", "--bogus", "a.mid"}, "unknown option \"--bogus\""},
      {{"--list", "-x", "a.mid"}, "unknown option \"-x\""},
      {{"--list=yes", "a.mid"}, "option \"--list\" takes no value"},
      {{"--lis", "a.mid"}, "unknown option \"--lis\""},
      {{"--list", "-o", "x.mid", "a.mid"}, kListTakesNoOutputs},
      {{"--list", "--no-chart", "a.mid"}, kListTakesNoOutputs},
      {{"--no-chart", "-o", "", "a.mid"}, "the output file name is empty"},
      {{"--no-chart", "-o", std::string(512, 'x'), "a.mid"}, "the output file name is longer than 511 bytes"},
      {{"--no-chart", "a.mid", "-o"}, "option \"-o\" needs a value"},
      {{"--no-chart", "--set", "0gridUnit=0", "a.mid"}, "--set \"0gridUnit=0\": expected ROW:FIELD=VALUE"},
      {{"--no-chart", "--set", "0=x:y", "a.mid"}, "--set \"0=x:y\": expected ROW:FIELD=VALUE"},
      {{"--no-chart", "--set", "-1:gridUnit=0", "a.mid"},
       "--set \"-1:gridUnit=0\": the row is a whole number from 0"},
      {{"--no-chart", "--set=0:grid=0", "a.mid"},
       "--set \"0:grid=0\": unknown field \"grid\" (fields: definitionName, velocitySplitWidth, "
       "ccSplitWidth, "
       "noteInterval, gridUnit, multipleThreshold, ccInterval, splitMethod, ignoreBpm, wavDefinitionGap, "
       "enabled)"},
      {{"--no-chart", "--set", "0:gridUnit=-1", "a.mid"},
       "--set \"0:gridUnit=-1\": gridUnit takes a whole number from 0 to 2147483647"},
      {{"--no-chart", "--set", "0:gridUnit= 5", "a.mid"},
       "--set \"0:gridUnit= 5\": gridUnit takes a whole number from 0 to 2147483647"},
      {{"--no-chart", "--set", "0:noteInterval=2147483648", "a.mid"},
       "--set \"0:noteInterval=2147483648\": noteInterval takes a whole number from 0 to 2147483647"},
      {{"--no-chart", "--set", "0:splitMethod=3", "a.mid"},
       "--set \"0:splitMethod=3\": splitMethod takes a whole number from 0 to 2"},
      {{"--no-chart", "--set", "0:enabled=yes", "a.mid"},
       "--set \"0:enabled=yes\": enabled takes a whole number from 0 to 1"},
      {{"--no-chart", "--set", "0:definitionName=", "a.mid"},
       "--set \"0:definitionName=\": the definition name is empty"},
      {{"--no-chart", "--set", "0:definitionName=a\tb", "a.mid"},
       "--set \"0:definitionName=a\tb\": the definition name holds a TAB or a line break, which the settings "
       "file "
       "cannot keep"},
      {{"--no-chart", "--set", "0:definitionName=" + std::string(512, 'n'), "a.mid"},
       "--set \"0:definitionName=" + std::string(512, 'n') +
           "\": the definition name is longer than 511 bytes"},
  };
  for (const Case& c : cases) {
    const ParseResult result = parse(c.args);
    EXPECT_FALSE(result.options);
    EXPECT_EQ(result.error, c.error);
  }
}

TEST(ParseOptions, NoChartConvertsWithTheEditsInTheirOrder) {
  const ParseResult result = parse({"--set", "1:gridUnit=1920", "--no-chart", "song.mid", "-o", "out.mid",
                                    "--set=0:definitionName=piano", "--set", "1:gridUnit=960"});
  ASSERT_TRUE(result.options) << result.error;
  const Options& options = *result.options;
  EXPECT_EQ(options.command, Command::Convert);
  EXPECT_FALSE(options.chart);
  EXPECT_EQ(options.outputPath, "out.mid");
  ASSERT_EQ(options.edits.size(), 3u);
  TrackSettings settings;
  for (const RowEdit& edit : options.edits) applyRowEdit(edit, settings);
  EXPECT_EQ(options.edits[0].row, 1);
  EXPECT_EQ(options.edits[1].row, 0);
  EXPECT_EQ(settings.gridUnit, 960);  // the later edit wins
  EXPECT_EQ(settings.definitionName, "piano");
}

TEST(RowEdit, EachFieldTakesItsValueAndLeavesTheOthers) {
  const auto edited = [](const std::string& text) {
    std::string error;
    const auto edit = parseRowEdit(text, error);
    EXPECT_TRUE(edit) << error;
    TrackSettings settings;
    if (edit) applyRowEdit(*edit, settings);
    return settings;
  };
  const auto with = [](auto change) {
    TrackSettings settings;
    change(settings);
    return settings;
  };
  EXPECT_EQ(edited("0:definitionName=pad 1"), with([](TrackSettings& s) { s.definitionName = "pad 1"; }));
  EXPECT_EQ(edited("0:velocitySplitWidth=16"), with([](TrackSettings& s) { s.velocitySplitWidth = 16; }));
  EXPECT_EQ(edited("0:ccSplitWidth=8"), with([](TrackSettings& s) { s.ccSplitWidth = 8; }));
  EXPECT_EQ(edited("0:noteInterval=0"), with([](TrackSettings& s) { s.noteInterval = 0; }));
  EXPECT_EQ(edited("0:gridUnit=480"), with([](TrackSettings& s) { s.gridUnit = 480; }));
  EXPECT_EQ(edited("0:multipleThreshold=120"), with([](TrackSettings& s) { s.multipleThreshold = 120; }));
  EXPECT_EQ(edited("0:ccInterval=2147483647"), with([](TrackSettings& s) { s.ccInterval = 2147483647; }));
  EXPECT_EQ(edited("0:splitMethod=2"), with([](TrackSettings& s) { s.splitMethod = 2; }));
  EXPECT_EQ(edited("0:ignoreBpm=1"), with([](TrackSettings& s) { s.ignoreBpm = true; }));
  EXPECT_EQ(edited("0:wavDefinitionGap=0"), with([](TrackSettings& s) { s.wavDefinitionGap = 0; }));
  EXPECT_EQ(edited("0:enabled=0"), with([](TrackSettings& s) { s.enabled = false; }));
  EXPECT_EQ(edited("7:definitionName=a=b:c"), with([](TrackSettings& s) { s.definitionName = "a=b:c"; }));
}

TEST(UsageText, ShowsTheCommandLineAndEveryOption) {
  const std::string usage = usageText();
  EXPECT_EQ(
      usage.rfind("Usage: rendlow-cli [options] INPUT...\n       rendlow-cli --list [--verbose] INPUT\n", 0),
      0u);
  EXPECT_NE(usage.find("      --settings-only  "), std::string::npos);
  EXPECT_NE(usage.find("      --genre TEXT  "), std::string::npos);
  EXPECT_NE(usage.find("  -q, --quiet  "), std::string::npos);
  EXPECT_NE(usage.find("  -h, --help  "), std::string::npos);
  EXPECT_NE(usage.find("      --list  "), std::string::npos);
  EXPECT_NE(usage.find("  -v, --verbose  "), std::string::npos);
  EXPECT_NE(usage.find("      --no-chart  "), std::string::npos);
  EXPECT_NE(usage.find("  -o, --output OUTPUT  "), std::string::npos);
  EXPECT_NE(usage.find("      --set ROW:FIELD=VALUE  "), std::string::npos);
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace rendlow::cli
