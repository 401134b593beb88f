#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::FormTest;

std::wstring itemText(HMENU menu, int position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

class MenuTest : public FormTest {
protected:
  HMENU sound() { return GetSubMenu(GetMenu(shell.window()), 0); }
  bool enabled(int command) { return !(GetMenuState(sound(), command, MF_BYCOMMAND) & MF_GRAYED); }
  SIZE clientSize() {
    RECT client{};
    GetClientRect(shell.window(), &client);
    return {client.right, client.bottom};
  }
};

TEST_F(MenuTest, TheMenuBarAddsToTheWindowAndLeavesTheClientAreaAndTheControlsWhereTheyWere) {
  const HMENU bar = GetMenu(shell.window());
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(itemText(bar, 0), L"音声(&A)");
  ASSERT_EQ(GetMenuItemCount(sound()), 2);
  EXPECT_EQ(itemText(sound(), 0), L"ステムから切り出し(&C)...");
  EXPECT_EQ(itemText(sound(), 1), L"ステムについて(&H)");
  EXPECT_EQ(clientSize().cx, 640);
  EXPECT_EQ(clientSize().cy, 470);

  // Dragged larger, then as small as it goes, the window comes back to the first client area,
  // and the layout puts the bottom row where it was without a menu.
  for (const int size : {900, 1})
    SetWindowPos(shell.window(), nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(clientSize().cx, 640);
  EXPECT_EQ(clientSize().cy, 470);
  RECT button{};
  GetWindowRect(item(ids::kChartOutputButton), &button);
  MapWindowPoints(nullptr, shell.window(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, 10);
  EXPECT_EQ(button.top, 410);
}

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
