// Messages: every form of a text kept apart, and every whole message shaped alike.

#include "base/message.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "base/messages.h"
#include "base/result.h"

namespace rendlow {
namespace {

constexpr Audience kAll[] = {Audience::Window, Audience::JapaneseConsole, Audience::EnglishConsole};

TEST(Message, KeepsEachAudiencesFormThroughConcatenation) {
  const Message joined = Message("ja ", "en ") + Message::perAudience("w", "j", "e") + Message::verbatim("!");
  EXPECT_EQ(joined.in(Audience::Window), "ja w!");
  EXPECT_EQ(joined.in(Audience::JapaneseConsole), "ja j!");
  EXPECT_EQ(joined.in(Audience::EnglishConsole), "en e!");
  EXPECT_TRUE(Message().empty());
  EXPECT_FALSE(Message::verbatim("x").empty());
}

// A first line saying what happened, then the file, then the reason (or more lines), in every
// form the message is shown.
TEST(Messages, AFirstLineThenTheFileThenTheReason) {
  const Message reason = Message::perAudience("R1", "R2", "R3");
  const Message messages[] = {midiNotWrittenMessage("out.mid", reason), settingsNotSavedMessage("out.mid", reason),
                              chartFailedMessage("out.mid", reason),    chartRefusedMessage("out.mid", reason),
                              midiNotLoadedMessage("out.mid", reason),  settingsUnreadableMessage("out.mid", reason),
                              midiUnreadableMessage("out.mid", reason), midiDamagedMessage("out.mid", reason)};
  for (const Message& message : messages) {
    for (std::size_t a = 0; a < std::size(kAll); ++a) {
      const std::string& text = message.in(kAll[a]);
      const std::size_t second = text.find('\n') + 1;
      ASSERT_GT(second, 1u) << text;
      EXPECT_EQ(text.substr(second, text.find('\n', second) - second),
                (a == 2 ? "File: " : "ファイル: ") + std::string("out.mid"));
      EXPECT_NE(text.find("\nR" + std::to_string(a + 1)), std::string::npos) << text;
    }
  }
  const std::string named = midiNotLoadedMessage("a.mid", reason, "a.txt").in(Audience::EnglishConsole);
  EXPECT_EQ(named, "The MIDI file cannot be read.\nFile: a.mid\nNamed by the settings file: a.txt\nR3");
}

TEST(Messages, ReasonsNameTheTrackByNumberAndName) {
  EXPECT_EQ(trackCutShortDamage(2, "").in(Audience::EnglishConsole).rfind("track 2 \"(no name)\":", 0), 0u);
  EXPECT_EQ(trackCutShortDamage(3, "Lead").in(Audience::Window).rfind("3 番目のトラック「Lead」", 0), 0u);
  const std::string delta = deltaTooLargeReason(4, "Pad", 268435456, 268435455).in(Audience::EnglishConsole);
  EXPECT_EQ(delta.rfind("track 4 \"Pad\" has a gap of 268435456 ticks, more than the 268435455", 0), 0u);
  EXPECT_EQ(lineSlotsBreach(9, 1, 262144).in(Audience::EnglishConsole).rfind("A line of measure 9 on channel 01", 0), 0u);
  EXPECT_EQ(linesOf(Message::verbatim("a"), Message::verbatim("b")).in(Audience::Window), "a\nb");
}

// An error the catalogue has no words for is told in the C library's.
TEST(Messages, AnUnknownErrorNumberIsToldAsTheSystemTellsIt) {
  const std::string text = readReason(EXDEV).in(Audience::EnglishConsole);
  EXPECT_EQ(text.rfind(std::string(std::strerror(EXDEV)) + ". Check", 0), 0u) << text;
  EXPECT_EQ(writeReason(EACCES).in(Audience::EnglishConsole).rfind("Access denied. ", 0), 0u);
}

TEST(Result, HoldsTheValueOrTheProblem) {
  const Result<int> value = 7;
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, 7);
  const Result<int> failed = Problem{Message::verbatim("why")};
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.problem().message.in(Audience::Window), "why");
  EXPECT_TRUE(Result<void>());
  EXPECT_FALSE(Result<void>(Problem{}));
}

}  // namespace
}  // namespace rendlow
