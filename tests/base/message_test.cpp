// Messages: every form of a text kept apart, and every whole message shaped alike.

#include "base/message.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "base/messages.h"

namespace rendlow {
namespace {

constexpr Audience kAll[] = {Audience::Window, Audience::JapaneseConsole, Audience::EnglishConsole};

TEST(Message, KeepsEachAudiencesFormThroughConcatenation) {
  const Message joined = Message("ja ", "en ") + Message::perAudience("w", "j", "e") + Message::verbatim("!");
  EXPECT_EQ(joined.in(Audience::Window) + joined.in(Audience::JapaneseConsole) + joined.in(Audience::EnglishConsole),
            "ja w!ja j!en e!");
  EXPECT_TRUE(Message().empty());
}

// A first line saying what happened, then the file, then the reason, in every form.
TEST(Messages, AFirstLineThenTheFileThenTheReason) {
  const Message reason = Message::perAudience("R1", "R2", "R3");
  for (const Message& message :
       {midiNotWrittenMessage("o.mid", reason), settingsNotSavedMessage("o.mid", reason),
        chartFailedMessage("o.mid", reason), chartRefusedMessage("o.mid", reason),
        midiNotLoadedMessage("o.mid", reason), settingsUnreadableMessage("o.mid", reason),
        midiUnreadableMessage("o.mid", reason), midiDamagedMessage("o.mid", reason)}) {
    for (std::size_t a = 0; a < std::size(kAll); ++a) {
      const std::string& text = message.in(kAll[a]);
      const std::string file = (a == 2 ? "File: " : "ファイル: ") + std::string("o.mid");
      EXPECT_NE(text.find("\n" + file + "\nR" + std::to_string(a + 1)), std::string::npos) << text;
      EXPECT_EQ(text.find('\n'), text.find("\n" + file)) << text;
    }
  }
  EXPECT_EQ(midiNotLoadedMessage("a.mid", reason, "a.txt").in(Audience::EnglishConsole),
            "The MIDI file cannot be read.\nFile: a.mid\nNamed by the settings file: a.txt\nR3");
}

TEST(Messages, ReasonsNameTheTrackAndTellUnknownErrorsAsTheSystemDoes) {
  EXPECT_EQ(trackCutShortDamage(2, "").in(Audience::EnglishConsole).rfind("track 2 \"(no name)\":", 0), 0u);
  EXPECT_EQ(trackCutShortDamage(3, "Lead").in(Audience::Window).rfind("3 番目のトラック「Lead」", 0), 0u);
  EXPECT_EQ(readReason(EXDEV).in(Audience::EnglishConsole).rfind(std::string(std::strerror(EXDEV)) + ". Check", 0), 0u);
  EXPECT_EQ(writeReason(EACCES).in(Audience::EnglishConsole).rfind("Access denied. ", 0), 0u);
}

}  // namespace
}  // namespace rendlow
