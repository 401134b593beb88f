#pragma once

// What the audio suites share: files in and out, committed data, and the English of messages.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/message.h"

namespace rendlow::audio::test {

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
