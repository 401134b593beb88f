#include "ui/window_text.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::FormTest;
namespace fs = std::filesystem;
constexpr auto npos = std::wstring::npos;

TEST(WindowText, CodePage932BytesBecomeTheirCharactersAndOnlyTheirCharactersComeBack) {
  EXPECT_EQ(toWindowText("\x83\x73\x83\x41\x83\x6d"), L"ピアノ");
  EXPECT_EQ(toEngineText(L"ピアノ"), std::string("\x83\x73\x83\x41\x83\x6d"));
  EXPECT_EQ(toEngineText(L"C:\\노래\\a.mid"), std::nullopt);
  EXPECT_EQ(toEngineText(L"café"), std::nullopt);  // no stand-in "a" for "é"
  EXPECT_EQ(toEngineText(L"\xD800"), std::nullopt);
}

TEST_F(FormTest, AHangulPathIsRefusedByNameFromTheDialogAndFromDrops) {
  const std::wstring loaded = writeSong();
  drop(ids::kTrackTable, loaded);
  const std::wstring hangul = writeSong({"Solo"}, L"노래");
  modal.chosenFile = hangul;
  press(ids::kBrowseButton);
  drop(ids::kTrackTable, hangul);
  drop(0, hangul);
  ASSERT_EQ(modal.seen.size(), 3u);
  for (const test::SeenMessage& message : modal.seen) {
    EXPECT_NE(message.text.find(L"にない文字があります\nファイル: " + hangul + L"\n"), npos) << message.text;
    EXPECT_NE(message.text.find(L"ファイルを移動するか名前を変えて"), npos) << message.text;
  }
  EXPECT_EQ(rows(), 3);
  EXPECT_EQ(text(ids::kInputFile), loaded);
}

TEST_F(FormTest, AJapanesePathLoadsWhereTheSystemReadsItAlikeAndIsRefusedByNameElsewhere) {
  const std::wstring path = writeSong({"Solo"}, L"曲");
  modal.chosenFile = path;
  press(ids::kBrowseButton);
  if (GetACP() == 932) {
    EXPECT_TRUE(modal.seen.empty());
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(text(ids::kInputFile), path);
  } else {
    ASSERT_EQ(modal.seen.size(), 1u);
    EXPECT_NE(modal.seen[0].text.find(L"ファイル: " + path + L"\n"), npos) << modal.seen[0].text;
    EXPECT_NE(modal.seen[0].text.find(L"コードページ (" + std::to_wstring(GetACP()) + L")"), npos);
    EXPECT_EQ(rows(), 0);
  }
}

// A loaded song, and the names of what its outputs write.
class OutputTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    drop(ids::kTrackTable, input);
  }

  std::wstring input = writeSong();
  std::wstring stem = input.substr(0, input.size() - 4);
  fs::path settings = stem + L".txt";
  fs::path midi = stem + L"_out.mid";
  fs::path chart = stem + L"_out.bme";
};

// Each button writes what it names: the settings file alone and silently, the rendering MIDI
// file without the chart, each telling it. (That the chart is written before its
// message is the desktop run's check, scripts/ui-e2e.sh, as it presses "Midi&&BMS出力".)
TEST_F(OutputTest, EachButtonWritesItsFilesAndTellsThemOnceWritten) {
  press(ids::kSaveSettingsButton);
  EXPECT_TRUE(fs::exists(settings));
  EXPECT_FALSE(fs::exists(midi));
  EXPECT_TRUE(modal.seen.empty());
  press(ids::kMidiOutputButton);
  EXPECT_TRUE(fs::exists(midi));
  EXPECT_FALSE(fs::exists(chart));
  press(ids::kChartOutputButton);
  EXPECT_TRUE(fs::exists(chart));
  // What each message says is the output flow's; the window shows it in its own box.
  ASSERT_EQ(modal.seen.size(), 2u);
  for (const test::SeenMessage& message : modal.seen) {
    EXPECT_EQ(message.text.find(L"midiファイルを出力しました"), 0u) << message.text;
    EXPECT_EQ(message.icon, test::systemIcon(IDI_INFORMATION));
    EXPECT_EQ(message.owner, shell.window());
    EXPECT_EQ(message.textFont, shell.font());  // the program's own box, not the system's
  }
}

// A path or a header outside code page 932: refused in one message that names what stops it, and
// nothing is written. (An output over the song, or one that cannot be written, is the output
// flow's, told through any form alike.)
TEST_F(OutputTest, ARefusedOutputIsNamedAndNothingIsWritten) {
  const std::wstring hangul = stem + L"_노래.mid";
  const std::array<std::array<std::wstring, 3>, 2> cases = {{
      // the output box, the title box, what the message says
      {hangul, L"", L"ファイル: " + hangul + L"\n"},
      {midi.wstring(), L"노래", L"文字: 노래\n"},
  }};
  for (const auto& [output, title, says] : cases) {
    modal.seen.clear();
    type(ids::kOutputFile, output);
    type(ids::kTitle, title);
    press(ids::kChartOutputButton);
    ASSERT_EQ(modal.seen.size(), 1u) << output;
    EXPECT_NE(modal.seen[0].text.find(says), npos) << modal.seen[0].text;
    EXPECT_EQ(modal.seen[0].icon, test::systemIcon(IDI_ERROR));
  }
  for (const fs::path& output : {settings, midi, chart, fs::path(hangul)}) EXPECT_FALSE(fs::exists(output));
}

}  // namespace
}  // namespace rendlow::ui
