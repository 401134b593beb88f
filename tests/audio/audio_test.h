#pragma once

// What the audio suites share: files in and out, committed data, and the English of messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::audio::test {

using rendlow::test::readText;

// A committed data file of this suite.
inline std::string dataFile(const std::string& name) { return RENDLOW_TEST_DATA_DIR "/audio/data/" + name; }

inline std::string english(const Message& message) { return message.in(Audience::EnglishConsole); }

// For EXPECT_TRUE: the English text of `message` holds `words`.
inline testing::AssertionResult says(const Message& message, const std::string& words) {
  const std::string text = english(message);
  if (text.find(words) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "\"" << text << "\" does not say \"" << words << "\"";
}

template <class T>
std::vector<T> joined(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace rendlow::audio::test
