// Every file of the damaged corpus, read with a fresh running status: the result, every progress
// line, and all that the song keeps (events, kinds, ticks, links, damage), compared with the
// expectation kept beside the corpus.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "midi/midi_reader.h"
#include "support/midi_builder.h"
#include "support/song_text.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;

const fs::path kTests(RENDLOW_TEST_DATA_DIR);

std::vector<std::string> stems(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class DamagedCorpus : public testing::TestWithParam<std::string> {};

TEST_P(DamagedCorpus, KeepsExactlyWhatTheFileHolds) {
  std::ostringstream lines;
  Diagnostics diagnostics(&lines);
  RunningStatus running;
  const Result<Song> song =
      readMidiFile((kTests / "corpus/damaged" / (GetParam() + ".mid")).string(), running, diagnostics);
  std::string actual = song ? "ok\n" : "refused: " + song.problem().message.in(Audience::EnglishConsole) + "\n";
  actual += "== diagnostics\n" + lines.str() + "== song\n" + (song ? describeSong(*song) : "");
  expectGolden(actual, (kTests / "corpus/damaged-expected" / (GetParam() + ".txt")).string());
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedCorpus, testing::ValuesIn(stems(kTests / "corpus/damaged")),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::erase(name, '_');
                           return name;
                         });

TEST(DamagedCorpusFiles, EveryFileHasItsExpectationAndNoMore) {
  EXPECT_EQ(stems(kTests / "corpus/damaged-expected"), stems(kTests / "corpus/damaged"));
  EXPECT_EQ(stems(kTests / "corpus/damaged").size(), 24u);
}

}  // namespace
}  // namespace rendlow::test
