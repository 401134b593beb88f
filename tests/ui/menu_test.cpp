#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::FormTest;

class MenuTest : public FormTest {
protected:
  HMENU sound() { return GetSubMenu(GetMenu(shell.window()), 0); }
  bool enabled(int command) { return !(GetMenuState(sound(), command, MF_BYCOMMAND) & MF_GRAYED); }
};

TEST_F(MenuTest, TheCommandsWaitForASongThatReads) {
  for (const int command : {ids::kCutFromStems, ids::kAboutStems}) EXPECT_FALSE(enabled(command)) << command;
  drop(ids::kTrackTable, writeSong());
  for (const int command : {ids::kCutFromStems, ids::kAboutStems}) EXPECT_TRUE(enabled(command)) << command;

  const std::filesystem::path notASong = std::filesystem::path(dataDir.path()) / "notes.mid";
  std::ofstream(notASong) << "not a MIDI file";
  drop(ids::kTrackTable, notASong.wstring());
  ASSERT_EQ(rows(), 0);
  for (const int command : {ids::kCutFromStems, ids::kAboutStems}) EXPECT_FALSE(enabled(command)) << command;
}

TEST_F(MenuTest, TheHelpCommandOpensItsMessageOverTheWindow) {
  SendMessageW(shell.window(), WM_COMMAND, ids::kAboutStems, 0);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].text.find(L"ステムの作り方\n"), 0u) << modal.seen[0].text;
  EXPECT_EQ(modal.seen[0].owner, shell.window());
}

}  // namespace
}  // namespace rendlow::ui
