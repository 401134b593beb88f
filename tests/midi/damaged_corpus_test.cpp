// Every file of the damaged corpus, read with a fresh running status: the result, every progress
// line, and all that the song keeps (events, kinds, ticks, links, damage), compared with the
// expectation kept beside the corpus. After a deliberate change, RENDLOW_UPDATE_EXPECTED=1
// writes the expectations anew; read the differences before committing them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "midi/midi_reader.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(RENDLOW_TEST_DATA_DIR) / "corpus" / "damaged";
const fs::path kExpected = fs::path(RENDLOW_TEST_DATA_DIR) / "corpus" / "damaged-expected";

std::vector<std::string> corpusFiles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCorpus)) names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string readingOf(const std::string& name) {
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  RunningStatus running;
  const Result<Song> song = readMidiFile((kCorpus / (name + ".mid")).string(), running, diagnostics);
  std::string text = song ? "ok\n" : "refused: " + song.problem().message.in(Audience::EnglishConsole) + "\n";
  text += "== diagnostics\n" + lines.str() + "== song\n";
  if (song) text += describeSong(*song);
  return text;
}

class DamagedCorpus : public testing::TestWithParam<std::string> {};

TEST_P(DamagedCorpus, KeepsExactlyWhatTheFileHolds) {
  const std::string actual = readingOf(GetParam());
  const fs::path expected = kExpected / (GetParam() + ".txt");
  const char* update = std::getenv("RENDLOW_UPDATE_EXPECTED");
  if (update && std::string(update) == "1") writeBytes(expected.string(), Bytes(actual.begin(), actual.end()));
  ASSERT_TRUE(fs::exists(expected)) << "no expectation for " << GetParam();
  EXPECT_EQ(actual, readText(expected.string()));
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedCorpus, testing::ValuesIn(corpusFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::erase(name, '_');
                           return name;
                         });

TEST(DamagedCorpusFiles, EveryExpectationHasItsFile) {
  std::vector<std::string> expectations;
  for (const auto& entry : fs::directory_iterator(kExpected)) expectations.push_back(entry.path().stem().string());
  std::sort(expectations.begin(), expectations.end());
  EXPECT_EQ(expectations, corpusFiles());
  EXPECT_EQ(expectations.size(), 24u);
}

}  // namespace
}  // namespace rendlow::test
