#include <cstdlib>
#include <set>

#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::field;
using test::FormTest;

// The track table and the settings group, driven as the list view and the user drive them.
class TableTest : public FormTest {
protected:
  bool checked(int row) { return (SendMessageW(table(), LVM_GETITEMSTATE, row, 0xF000) >> 12) != 1; }
  // What the list view does when the user clicks a row's check box.
  void setCheck(int row, bool on) { setState(row, 0xF000, INDEXTOSTATEIMAGEMASK(on ? 2 : 1)); }
  void enter(int id) { SendMessageW(item(id), WM_CHAR, L'\r', 0); }
};

TEST(Environment, TheAnsiCodePageIsTheOneTheRunAskedFor) {
  const char* expected = std::getenv("RENDLOW_EXPECT_ACP");
  if (!expected) GTEST_SKIP() << "RENDLOW_EXPECT_ACP not set";
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

// Every text the window shows before a song, read back in UTF-16 as each control hands it out:
// the caption, each control's by its id (the settings group's labels under their fields'
// captions), each choice of a list box and each column's title. Kept in data/window_texts.txt.
BOOL CALLBACK addTexts(HWND control, LPARAM into) {
  std::wstring& texts = *reinterpret_cast<std::wstring*>(into);
  wchar_t kind[32] = {};
  GetClassNameW(control, kind, 32);
  texts += std::to_wstring(GetDlgCtrlID(control)) + L"\t" + kind + L"\t" + test::textOf(control) + L"\n";
  wchar_t part[64] = {};
  const auto partOf = [&](UINT message, int i, LPARAM into) { return SendMessageW(control, message, i, into) > 0; };
  for (int i = 0; kind == std::wstring(WC_COMBOBOXW) && partOf(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(part)); ++i)
    texts += L"\tchoice\t" + std::wstring(part) + L"\n";
  LVCOLUMNW column{.mask = LVCF_TEXT, .pszText = part, .cchTextMax = 64};
  for (int i = 0; kind == std::wstring(WC_LISTVIEWW) && partOf(LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)); ++i)
    texts += L"\tcolumn\t" + std::wstring(part) + L"\n";
  return TRUE;
}

TEST_F(TableTest, TheWindowsTextsReadBackInUtf16WhateverTheCodePage) {
  std::wstring texts = test::textOf(shell.window()) + L"\n";
  EnumChildWindows(shell.window(), addTexts, reinterpret_cast<LPARAM>(&texts));
  rendlow::test::expectGolden(test::utf8(texts), RENDLOW_TEST_DATA_DIR "/ui/data/window_texts.txt");
}

TEST_F(TableTest, ShiftJisTrackNamesShowAsTheirCharactersAndTheCaptionIsCutBetweenThem) {
  // "ピアノ", "ベース" and thirty "あ" in code page 932: the bytes a Japanese MIDI file holds.
  std::string a30;
  for (int i = 0; i < 30; ++i) a30 += "\x82\xa0";
  std::vector<std::string> names = {"\x83\x73\x83\x41\x83\x6d", "\x83\x78\x81\x5b\x83\x58"};
  names.resize(10, a30);
  drop(ids::kTrackTable, writeSong(names));
  ASSERT_EQ(rows(), 10);
  EXPECT_EQ(cell(0, 0), L"ピアノ");
  EXPECT_EQ(cell(1, 0), L"ベース");
  select({0, 1});
  EXPECT_EQ(text(ids::kSettingsGroup), L"ピアノ,ベース");

  // Ten names of 60 bytes joined pass 511 bytes: the caption ends at byte 510, before the
  // character that would cover bytes 510 and 511, not at 511 characters nor inside a character.
  names.assign(10, a30);
  drop(ids::kTrackTable, writeSong(names));
  select({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  const std::wstring name(30, L'あ');
  std::wstring expected;
  for (int i = 0; i < 8; ++i) expected += name + L",";
  EXPECT_EQ(text(ids::kSettingsGroup), expected + std::wstring(11, L'あ'));
}

TEST_F(TableTest, ADroppedSongFillsTheTableAndTheBoxesButTheTableTakesOnlySongFiles) {
  const std::wstring path = writeSong();
  drop(ids::kTrackTable, path);
  EXPECT_EQ(text(ids::kInputFile), path);
  EXPECT_EQ(text(ids::kOutputFile), path.substr(0, path.size() - 4) + L"_out.mid");
  ASSERT_EQ(rows(), 3);
  EXPECT_EQ(cell(2, 0), L"Strings");
  for (int row = 0; row < 3; ++row) EXPECT_TRUE(checked(row));

  const std::wstring one = writeSong({"Solo"}, L"", L"ONE.MID");
  const std::wstring sound = writeSong({"Solo"}, L"", L"solo.wav");
  drop(ids::kTrackTable, sound);
  EXPECT_EQ(rows(), 3);
  drop(ids::kTrackTable, one);
  EXPECT_EQ(rows(), 1);
  drop(0, path);
  EXPECT_EQ(rows(), 3);
  drop(ids::kSettingsGroup, sound);  // a group hands its drops to the window, which loads anything
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(text(ids::kInputFile), sound);
}

TEST_F(TableTest, RowsThatDisagreeShowAnEmptyBoxAndAnEmptyBoxKeepsEachRowsValue) {
  drop(ids::kTrackTable, writeSong());
  select({1});
  type(field("noteInterval"), L"480");
  press(ids::kUpdateButton);
  ASSERT_EQ(cell(1, 3), L"480");

  select({0, 1});
  EXPECT_EQ(text(ids::kSettingsGroup), L"Piano,Bass");
  EXPECT_EQ(text(field("noteInterval")), L"");
  EXPECT_EQ(text(field("definitionName")), L"");
  EXPECT_EQ(text(field("wavDefinitionGap")), L"2");  // shared values still show
  press(ids::kUpdateButton);
  EXPECT_EQ(cell(0, 3), L"960");
  EXPECT_EQ(cell(1, 3), L"480");
  EXPECT_EQ(cell(0, 1), L"tr01");
  EXPECT_EQ(cell(1, 1), L"tr02");

  type(field("definitionName"), L"  lead pad");
  press(ids::kUpdateButton);
  EXPECT_EQ(cell(0, 1), L"lead");
  EXPECT_EQ(cell(1, 1), L"lead");
  EXPECT_EQ(cell(2, 1), L"tr03");  // not selected
}

TEST_F(TableTest, EnterInASettingsBoxUpdatesTheRowAndElsewhereDoesNothing) {
  drop(ids::kTrackTable, writeSong());
  select({2});
  EXPECT_EQ(text(ids::kSettingsGroup), L"Strings");
  EXPECT_EQ(text(field("definitionName")), L"tr03");
  SendMessageW(item(field("splitMethod")), CB_SETCURSEL, 2, 0);
  press(field("ignoreBpm"));
  type(field("velocitySplitWidth"), L"8");
  type(field("wavDefinitionGap"), L"0");
  enter(field("wavDefinitionGap"));
  EXPECT_EQ(cell(2, 2), L"8");
  EXPECT_EQ(cell(2, 5), L"レガート");
  EXPECT_EQ(cell(2, 7), L"■");
  EXPECT_EQ(cell(2, 10), L"0");
  EXPECT_EQ(text(field("wavDefinitionGap")), L"0");  // Enter is not typed into the box

  type(field("velocitySplitWidth"), L"9");
  enter(ids::kOutputFile);
  enter(ids::kGenre);
  EXPECT_EQ(cell(2, 2), L"8");
  enter(field("definitionName"));
  EXPECT_EQ(cell(2, 2), L"9");
  EXPECT_EQ(cell(2, 7), L"■");  // pressing again keeps the check box's value
}

TEST_F(TableTest, AClickBelowTheRowsClearsTheTrackFieldsButNotTheControllerBoxes) {
  drop(ids::kTrackTable, writeSong());
  select({0});
  type(field("ccSplitWidth"), L"7");
  select({}, -1);
  EXPECT_EQ(text(ids::kSettingsGroup), L"");
  for (const int id : {field("definitionName"), field("noteInterval"), field("wavDefinitionGap")})
    EXPECT_EQ(text(id), L"") << id;
  EXPECT_EQ(SendMessageW(item(field("splitMethod")), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(text(field("ccSplitWidth")), L"7");
  type(field("noteInterval"), L"100");
  press(ids::kUpdateButton);  // nothing selected, nothing changes
  EXPECT_EQ(cell(0, 3), L"960");
}

TEST_F(TableTest, UncheckedRowsStayOutButTheTempoRowChecksItselfAgain) {
  drop(ids::kTrackTable, writeSong());
  setCheck(2, false);  // "Strings" carries a tempo change
  EXPECT_TRUE(checked(2));
  EXPECT_TRUE(app.rowSettings(2).enabled);
  setCheck(1, false);
  EXPECT_FALSE(checked(1));

  select({0, 1});
  type(field("noteInterval"), L"120");
  press(ids::kUpdateButton);
  EXPECT_EQ(cell(1, 3), L"120");
  EXPECT_FALSE(checked(1));
  EXPECT_FALSE(app.rowSettings(1).enabled);
  EXPECT_TRUE(app.rowSettings(0).enabled);
}

TEST_F(TableTest, ABoxTextOutsideCodePage932IsNamedAndChangesNothing) {
  drop(ids::kTrackTable, writeSong());
  select({0});
  type(field("definitionName"), L"피아노");
  type(field("noteInterval"), L"100");
  press(ids::kUpdateButton);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_NE(modal.seen[0].text.find(L"文字: 피아노\n"), std::wstring::npos) << modal.seen[0].text;
  EXPECT_EQ(cell(0, 1), L"tr01");
  EXPECT_EQ(cell(0, 3), L"960");
}

// The menus, on the same form.
class MenuTest : public FormTest {
protected:
  // By command, through the bar's menus.
  bool enabled(int command) { return !(GetMenuState(GetMenu(shell.window()), command, MF_BYCOMMAND) & MF_GRAYED); }
};

// The help needs no song, so it is always there. A file that is no song is told at once and
// leaves the song shown before.
TEST_F(MenuTest, TheCutWaitsForASongThatReads) {
  SendMessageW(shell.window(), WM_COMMAND, ids::kAboutStems, 0);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].text.find(L"ステムの作り方\n"), 0u) << modal.seen[0].text;
  modal.seen.clear();
  const std::filesystem::path notASong = std::filesystem::path(dataDir.path()) / "notes.mid";
  std::ofstream(notASong) << "not a MIDI file";
  drop(ids::kTrackTable, notASong.wstring());
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].icon, test::systemIcon(IDI_ERROR));
  EXPECT_EQ(modal.seen[0].text.find(L"midiファイルを読み込めませんでした\nファイル: " + notASong.wstring()), 0u)
      << modal.seen[0].text;
  for (const int command : {ids::kCutFromStems, ids::kFreshChart}) EXPECT_FALSE(enabled(command)) << command;
  EXPECT_TRUE(enabled(ids::kAboutStems));
  const std::wstring song = writeSong();
  drop(ids::kTrackTable, song);
  for (const int command : {ids::kCutFromStems, ids::kAboutStems, ids::kFreshChart})
    EXPECT_TRUE(enabled(command)) << command;

  drop(ids::kTrackTable, notASong.wstring());
  EXPECT_EQ(modal.seen.size(), 2u);
  EXPECT_EQ(rows(), 3);
  EXPECT_EQ(text(ids::kInputFile), song);
  EXPECT_TRUE(enabled(ids::kCutFromStems));
}

}  // namespace
}  // namespace rendlow::ui
