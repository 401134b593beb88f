#pragma once

// What the audio suites share: files in and out, committed data, and the English of messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "audio/io/audio_buffer.h"
#include "base/message.h"
#include "base/notices.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::audio::test {

using rendlow::test::readText;

// A committed data file of this suite.
inline std::string dataFile(const std::string& name) { return RENDLOW_TEST_DATA_DIR "/audio/data/" + name; }

// A sample written as a number or a fraction ("1/65536").
inline float fraction(const std::string& text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return std::stof(text);
  return static_cast<float>(std::stod(text.substr(0, slash)) / std::stod(text.substr(slash + 1)));
}

inline std::string english(const Message& message) { return message.in(Audience::EnglishConsole); }

// The English of each notice, to compare two lists of them.
inline std::vector<std::string> texts(const Notices& notices) {
  std::vector<std::string> texts;
  for (const Notice& notice : notices) texts.push_back(english(notice.message));
  return texts;
}

// The English of each notice in turn, for a golden file: each followed by a line "--".
inline std::string noticesText(const Notices& notices) {
  std::string text;
  for (const Notice& notice : notices) text += english(notice.message) + "\n--\n";
  return text;
}

// For EXPECT_TRUE: the English text of `message` holds `words`.
inline testing::AssertionResult says(const Message& message, const std::string& words) {
  const std::string text = english(message);
  if (text.find(words) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "\"" << text << "\" does not say \"" << words << "\"";
}

// A deterministic noise in [-0.5, 0.5).
inline std::vector<float> noise(std::size_t count, uint32_t seed) {
  std::minstd_rand engine(seed);
  std::vector<float> samples(count);
  for (float& sample : samples) sample = static_cast<float>(engine() % 65536) / 65536 - 0.5f;
  return samples;
}

// A buffer of `frames` frames, each the samples of `frame`, one per channel.
inline AudioBuffer constant(int32_t rate, int64_t frames, const std::vector<float>& frame) {
  AudioBuffer buffer{rate, static_cast<int32_t>(frame.size()), {}};
  for (int64_t i = 0; i < frames; ++i)
    buffer.samples.insert(buffer.samples.end(), frame.begin(), frame.end());
  return buffer;
}

// Frames moved later by `lag` (earlier when negative, losing those before the start), the length
// grown to keep them all.
inline AudioBuffer delayed(const AudioBuffer& buffer, int64_t lag) {
  AudioBuffer moved{
      buffer.sampleRate, buffer.channels,
      std::vector<float>(buffer.samples.size() +
                         static_cast<std::size_t>(std::max<int64_t>(lag, 0) * buffer.channels))};
  const int64_t shift = lag * buffer.channels;
  for (int64_t i = std::max<int64_t>(0, -shift); i < std::ssize(buffer.samples); ++i)
    moved.samples[static_cast<std::size_t>(i + shift)] = buffer.samples[static_cast<std::size_t>(i)];
  return moved;
}

template <class T>
std::vector<T> joined(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace rendlow::audio::test
