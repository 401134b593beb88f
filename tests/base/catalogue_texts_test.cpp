// The catalogue's texts beyond messages: how advice names a setting to each reader. (Japanese
// appears as the code page 932 bytes the engine holds. The window's labels are read back from the
// window itself, in the desktop program's tests.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/messages_fields.h"

namespace rendlow {
namespace {

const std::string kOpen = "\x81\x75";                                        // 「
const std::string kClose = "\x81\x76";                                       // 」
const Message kName = Message::perAudience("", "\x96\xbc\x91\x4f", "NAME");  // 名前

struct Named {
  const char* field;
  Message value;
};

// The window names the box by its caption in brackets; the command line the option that sets the
// field on a row, with the value, in its language.
TEST(SettingAdvice, TheWindowNamesTheBoxAndTheCommandLineTheOption) {
  const Named cases[] = {
      {"noteInterval", anyValue()}, {"splitMethod", Message::verbatim("2")}, {"definitionName", kName}};
  for (const auto& [field, value] : cases) {
    SCOPED_TRACE(field);
    const Message advice = settingAdvice(field, value);
    EXPECT_EQ(advice.in(Audience::Window), kOpen + fieldTexts(field).caption.in(Audience::Window) + kClose);
    EXPECT_EQ(advice.in(Audience::EnglishConsole),
              "--set ROW:" + std::string(field) + "=" + value.in(Audience::EnglishConsole));
    const std::string& japanese = advice.in(Audience::JapaneseConsole);
    const std::string assigned = ":" + std::string(field) + "=" + value.in(Audience::JapaneseConsole);
    EXPECT_TRUE(japanese.starts_with("--set ") && japanese.ends_with(assigned)) << japanese;
    EXPECT_NE(japanese.find("\x8d\x73:"), std::string::npos) << japanese;  // 行, the row
    const Message console = commandLineAdvice(field, value);
    EXPECT_EQ(console.in(Audience::Window), "");
    EXPECT_EQ(console.in(Audience::JapaneseConsole), japanese);
    EXPECT_EQ(console.in(Audience::EnglishConsole), advice.in(Audience::EnglishConsole));
  }
}

// Every piece of advice that names a setting names it through settingAdvice: the window never
// speaks of --set, and the command line names each option it advises.
TEST(SettingAdvice, EveryMessageThatAdvisesASettingNamesItAsItsReaderSetsIt) {
  const struct {
    const char* what;
    Message message;
    std::vector<Named> named;
  } cases[] = {
      {"shared definition name",
       definitionNameSharedMessage("tr01", 1, "A", 2, "B"),
       {{"definitionName", kName}}},
      {"too complex", trackTooComplexMessage("s.mid", 2, "A", trackTooComplexReason()), {{"splitMethod", Message::verbatim("2")}}},
      {"re-timing",
       retimingUnsettledMessage("s.mid", false, 9),
       {{"gridUnit", anyValue()}, {"noteInterval", anyValue()}}},
      {"rendering too long",
       renderingTooLongReason(2, "A", 5000000000, 4294967295),
       {{"noteInterval", anyValue()}, {"gridUnit", anyValue()}}},
      {"#WAV ids",
       wavIdBreach(1400, 1295),
       {{"velocitySplitWidth", anyValue()},
        {"ccSplitWidth", anyValue()},
        {"ignoreBpm", Message::verbatim("1")},
        {"multipleThreshold", anyValue()},
        {"wavDefinitionGap", anyValue()}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const Audience reader : {Audience::Window, Audience::JapaneseConsole, Audience::EnglishConsole}) {
      const std::string& text = c.message.in(reader);
      for (const auto& [field, value] : c.named)
        EXPECT_NE(text.find(settingAdvice(field, value).in(reader)), std::string::npos) << field << "\n"
                                                                                        << text;
      EXPECT_EQ(text.find("--set") == std::string::npos, reader == Audience::Window) << text;
    }
  }
  // Leaving a track out is the table's check box in the window, which the message does not name.
  const Message complex = trackTooComplexMessage("s.mid", 2, "A", trackTooComplexReason());
  EXPECT_NE(complex.in(Audience::EnglishConsole).find("--set ROW:enabled=0."), std::string::npos);
}

}  // namespace
}  // namespace rendlow
