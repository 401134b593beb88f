// What the window does when a file is opened, as the user sees it: the setup saved beside a song
// and a damaged song (what else a file opened loads and tells is the load flow's, tried through
// any form); how its messages are wrapped; and the Japanese names of a folder's files, which reach
// the engine whatever the system's code page.

#include "base/file_input.h"
#include "base/messages.h"
#include "base/platform.h"
#include "ui/message_box.h"
#include "ui/window_text.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::FormTest;
using test::textOf;
namespace fs = std::filesystem;
constexpr auto npos = std::wstring::npos;

void writeAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The setup saved in the window comes back when the song is opened again (what the file holds is
// the settings file's), with the caption saying where it came from.
TEST_F(FormTest, TheSetupSavedBesideASongComesBackWhenTheSongIsOpened) {
  const std::wstring song = writeSong();
  const fs::path settings = fs::path(song).replace_extension(L".txt");
  drop(ids::kTrackTable, song);
  type(ids::kGenre, L"ロック");
  press(ids::kSaveSettingsButton);
  drop(ids::kTrackTable, writeSong({"Solo"}, L"", L"other.mid"));
  EXPECT_EQ(text(ids::kGenre), L"");
  drop(ids::kTrackTable, song);
  EXPECT_EQ(text(ids::kGenre), L"ロック");
  EXPECT_EQ(textOf(shell.window()), L"Rendlow 0.96 - " + settings.wstring() + L" の設定を使います");
  EXPECT_TRUE(modal.seen.empty());
}

// Damage read past is told as the song loads, as a warning: the song is there all the same.
TEST_F(FormTest, ADamagedSongLoadsWithAWarning) {
  const std::wstring song = writeSong();
  const std::string whole = rendlow::test::readText(fs::path(song).string());
  writeAll(song, whole.substr(0, whole.size() - 10));
  drop(ids::kTrackTable, song);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].text.find(L"midiファイルが壊れています"), 0u) << modal.seen[0].text;
  EXPECT_EQ(modal.seen[0].icon, test::systemIcon(IDI_WARNING));
  EXPECT_EQ(rows(), 3);
}

TEST(MessageWrap, LinesBreakAfterASeparatorThatFitsOrWhereTheyMust) {
  const TextWidth characters = [](std::wstring_view piece) { return static_cast<int>(piece.size()); };
  for (const auto& c : test::dataTable("message_wrap.tsv")) {
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(wrapLines(c[0], std::stoi(c[1]), characters), c[2]) << c[0];
  }
}

// A stem named in Japanese is listed and opened by the name the engine gives it (code page 932),
// whatever the system's code page.
TEST(FolderNames, AJapaneseFileNameReadsAsItsCodePage932Bytes) {
  rendlow::test::TempDir dir;
  const fs::path folder = fs::path(dir.path()) / L"ステム";
  fs::create_directory(folder);
  writeAll(folder / L"メロディ.wav", "RIFF");
  const std::string folderBytes = *toEngineText(folder.wstring());
  const Result<std::vector<std::string>> names = fileNamesIn(folderBytes, readReason);
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, std::vector<std::string>{*toEngineText(L"メロディ.wav")});
  InputFile opened(openFile(folderBytes + "\\" + names->front(), "rb"));
  EXPECT_NE(opened, nullptr);
}

}  // namespace
}  // namespace rendlow::ui
