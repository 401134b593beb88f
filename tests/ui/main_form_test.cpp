#include "ui/main_form.h"

#include <array>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "ui/checkbox_info.h"
#include "ui/dropdown_box_info.h"
#include "ui/form_ids.h"
#include "ui/group_info.h"
#include "ui/label_info.h"
#include "ui/list_view_info.h"
#include "ui/main_window.h"
#include "ui/textbox_info.h"
#include "ui/win32.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::shiftJis;
using test::windowText;

// The main form built into a hidden main window, with a song of three listed tracks: "Piano",
// "Bass" and "Strings", the last of which carries a tempo change of its own.
class MainFormTest : public test::ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    form.build();
  }

  std::string writeSong(const std::vector<std::string>& names = {"Piano", "Bass", "Strings"}) {
    rendlow::test::MidiBuilder song;
    song.track().name("Conductor").tempoBpm(0, 120.0).endOfTrack(1920);
    for (std::size_t i = 0; i < names.size(); ++i) {
      auto& track = song.track().name(names[i]);
      track.noteOn(0, 0, 60 + static_cast<int>(i), 100).noteOff(480, 0, 60 + static_cast<int>(i));
      if (i == 2) track.tempoBpm(960, 140.0);
      track.endOfTrack(1920);
    }
    const std::string path = folder.file("song.mid");
    song.write(path);
    return path;
  }

  // Loads a file the way the user drops it on the track table.
  void dropOnTable(const std::string& path) {
    SendMessageA(control(ids::kTrackTable).getHandle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(test::makeDrop({path})), 0);
  }

  ControlItem& control(int32_t id) {
    ControlItem* found = registry().findById(id);
    EXPECT_NE(found, nullptr) << "control " << id;
    return *found;
  }
  template <class T>
  T& control(int32_t id) {
    return dynamic_cast<T&>(control(id));
  }
  ListViewInfo& table() { return control<ListViewInfo>(ids::kTrackTable); }
  TextboxInfo& box(int32_t id) { return control<TextboxInfo>(id); }

  std::string cell(int32_t row, int32_t column) {
    std::array<char, 512> text{};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(table().getHandle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text.data();
  }
  std::vector<std::string> rowCells(int32_t row) {
    std::vector<std::string> cells;
    for (int32_t column = 0; column < 11; ++column) cells.push_back(cell(row, column));
    return cells;
  }

  // Selects exactly `rows`, as the list view does when the user selects with the mouse; each
  // change reaches the form as an item-changed notification.
  void selectRows(const std::set<int32_t>& rows) {
    for (int32_t row = 0; row < table().rowCount(); ++row) {
      const UINT state = rows.count(row) ? LVIS_SELECTED : 0;
      ListView_SetItemState(table().getHandle(), row, state, LVIS_SELECTED);
    }
  }
  // The click notification the list view sends its parent when the user clicks `row` (-1: empty
  // space below the rows).
  void clickRow(int32_t row) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = table().getHandle();
    click.hdr.idFrom = static_cast<UINT_PTR>(table().windowId());
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    SendMessageA(GetParent(table().getHandle()), WM_NOTIFY, static_cast<WPARAM>(table().windowId()),
                 reinterpret_cast<LPARAM>(&click));
  }
  void selectAndClick(const std::set<int32_t>& rows) {
    selectRows(rows);
    clickRow(*rows.rbegin());
  }
  void pressUpdate() { SendMessageA(control(ids::kUpdateButton).getHandle(), BM_CLICK, 0, 0); }
  std::string settingsCaption() { return windowText(control(ids::kSettingsGroup).getHandle()); }

  RECT placement(int32_t id) {
    const HWND window = control(id).getHandle();
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  void expectPlacement(int32_t id, int x, int y, int width, int height) {
    const RECT rect = placement(id);
    EXPECT_EQ(rect.left, x) << "control " << id;
    EXPECT_EQ(rect.top, y) << "control " << id;
    EXPECT_EQ(rect.right - rect.left, width) << "control " << id;
    EXPECT_EQ(rect.bottom - rect.top, height) << "control " << id;
  }

  void resizeClientTo(int width, int height) {
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(mainHandle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(mainHandle(), GWL_EXSTYLE)));
    SetWindowPos(mainHandle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  }

  rendlow::test::TempDir folder;
  Application app;
  MainForm form{app, shell};
};

TEST(Environment, TheAnsiCodePageIsShiftJis) {
  EXPECT_EQ(GetACP(), 932u) << "run the Windows tests with LANG=ja_JP.UTF-8";
}

TEST_F(MainFormTest, BuildsEveryControlInItsOrderWithItsTextPositionAndSize) {
  struct Expected {
    int32_t id;
    ControlKind kind;
    int32_t parent;  // logical id of the parent group; 0 for the main window
    std::u8string text;
    int x, y, width, height;
  };
  using K = ControlKind;
  const std::vector<Expected> expected = {
      {1, K::Group, 0, u8"Midiファイル情報", 5, 5, 340, 320},
      {100, K::Textbox, 1, u8"", 80, 20, 210, 20},
      {101, K::Label, 1, u8"入力ファイル", 10, 25, 70, 20},
      {102, K::Button, 1, u8"...", 290, 20, 40, 20},
      {105, K::ListView, 1, u8"", 10, 45, 320, 260},
      {103, K::Textbox, 0, u8"", 85, 340, 250, 20},
      {104, K::Label, 0, u8"出力ファイル", 15, 345, 70, 20},
      {136, K::Button, 0, u8"Midi&&BMS出力", 10, 400, 100, 40},
      {135, K::Button, 0, u8"Midi出力", 125, 400, 100, 40},
      {137, K::Button, 0, u8"設定保存", 240, 400, 100, 40},
      {106, K::Group, 0, u8"", 355, 5, 260, 320},
      {107, K::Textbox, 106, u8"", 130, 20, 120, 20},
      {108, K::Label, 106, u8"定義名", 10, 25, 120, 20},
      {109, K::Textbox, 106, u8"", 130, 45, 120, 20},
      {110, K::Label, 106, u8"Velocity分割間隔", 10, 50, 120, 20},
      {111, K::Textbox, 106, u8"", 130, 70, 120, 20},
      {112, K::Label, 106, u8"音符間隔", 10, 75, 120, 20},
      {113, K::Textbox, 106, u8"", 130, 95, 120, 20},
      {114, K::Label, 106, u8"配置グリッド間隔", 10, 100, 120, 20},
      {115, K::Textbox, 106, u8"", 130, 120, 120, 20},
      {116, K::Label, 106, u8"多重定義間隔（閾値）", 10, 125, 120, 20},
      {117, K::Dropdown, 106, u8"", 130, 145, 120, 20},
      {118, K::Label, 106, u8"分割タイプ", 10, 150, 120, 20},
      {119, K::Checkbox, 106, u8"", 130, 170, 120, 20},
      {120, K::Label, 106, u8"BPM無視", 10, 175, 120, 20},
      {121, K::Textbox, 106, u8"", 130, 195, 120, 20},
      {122, K::Label, 106, u8"CC分割間隔", 10, 200, 120, 20},
      {123, K::Textbox, 106, u8"", 130, 220, 120, 20},
      {124, K::Label, 106, u8"CC判定間隔", 10, 225, 120, 20},
      {125, K::Textbox, 106, u8"", 130, 245, 120, 20},
      {126, K::Label, 106, u8"#WAV定義の間隔", 10, 250, 120, 20},
      {127, K::Button, 106, u8"更新", 190, 275, 60, 30},
      {128, K::Group, 0, u8"BMS情報", 355, 340, 260, 105},
      {129, K::Textbox, 128, u8"", 130, 20, 120, 20},
      {130, K::Label, 128, u8"GENRE", 10, 25, 120, 20},
      {131, K::Textbox, 128, u8"", 130, 45, 120, 20},
      {132, K::Label, 128, u8"TITLE", 10, 50, 120, 20},
      {133, K::Textbox, 128, u8"", 130, 70, 120, 20},
      {134, K::Label, 128, u8"ARTIST", 10, 75, 120, 20},
  };
  const auto& controls = registry().controls();
  ASSERT_EQ(controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Expected& e = expected[i];
    const ControlItem& c = *controls[i];
    SCOPED_TRACE("control " + std::to_string(e.id));
    EXPECT_EQ(c.id(), e.id);
    EXPECT_EQ(c.windowId(), static_cast<int32_t>(100 + i));
    EXPECT_EQ(c.kind(), e.kind);
    const HWND parent = e.parent ? control(e.parent).getHandle() : mainHandle();
    EXPECT_EQ(GetParent(c.getHandle()), parent);
    if (e.kind != K::Dropdown) {
      EXPECT_EQ(windowText(c.getHandle()), shiftJis(e.text));
      expectPlacement(e.id, e.x, e.y, e.width, e.height);
    }
  }
  EXPECT_EQ(control<LabelInfo>(110).text, shiftJis(u8"Velocity分割間隔"));

  const std::vector<std::pair<std::u8string, int>> columns = {
      {u8"トラック名", 60},   {u8"定義名", 50},     {u8"Vel分割幅", 40},    {u8"音符間隔", 40},
      {u8"グリッド単位", 40}, {u8"分割方式", 60},   {u8"多重閾値", 40},     {u8"BPM無視", 40},
      {u8"CC分割幅", 40},     {u8"CC判定間隔", 40}, {u8"#WAV定義間隔", 40},
  };
  ASSERT_EQ(table().columnCount(), 11);
  for (int column = 0; column < 11; ++column) {
    std::array<char, 64> header{};
    LVCOLUMNA query{};
    query.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    query.pszText = header.data();
    query.cchTextMax = static_cast<int>(header.size());
    SendMessageA(table().getHandle(), LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(header.data(), shiftJis(columns[column].first)) << column;
    EXPECT_EQ(query.cx, columns[column].second) << column;
    EXPECT_EQ(query.iSubItem, column);
  }

  auto& methods = control<DropdownBoxInfo>(ids::kSplitMethod);
  ASSERT_EQ(methods.itemCount(), 3);
  EXPECT_EQ(methods.itemText(0), shiftJis(u8"単音"));
  EXPECT_EQ(methods.itemText(1), shiftJis(u8"和音"));
  EXPECT_EQ(methods.itemText(2), shiftJis(u8"レガート"));
  EXPECT_EQ(methods.selectedIndex(), -1);
  EXPECT_TRUE(control<CheckboxInfo>(ids::kIgnoreBpm).isChecked());
}

TEST_F(MainFormTest, LayoutFollowsTheClientSize) {
  resizeClientTo(640, 470);
  EXPECT_EQ(shell.window().width, 640);
  EXPECT_EQ(shell.window().height, 470);
  expectPlacement(ids::kMidiGroup, 5, 5, 350, 330);
  expectPlacement(ids::kTrackTable, 10, 45, 330, 270);
  expectPlacement(ids::kSettingsGroup, 365, 5, 260, 320);
  expectPlacement(ids::kChartGroup, 365, 350, 260, 105);
  expectPlacement(ids::kOutputLabel, 15, 355, 70, 20);
  expectPlacement(ids::kOutputFile, 85, 350, 250, 20);
  expectPlacement(ids::kChartOutputButton, 10, 410, 100, 40);
  expectPlacement(ids::kMidiOutputButton, 125, 410, 100, 40);
  expectPlacement(ids::kSaveSettingsButton, 240, 410, 100, 40);
  // Controls inside the groups keep their places there.
  expectPlacement(ids::kUpdateButton, 190, 275, 60, 30);

  // A larger window widens the song frame and the table; the side groups keep their size at the
  // right edge.
  resizeClientTo(900, 600);
  expectPlacement(ids::kMidiGroup, 5, 5, 610, 460);
  expectPlacement(ids::kTrackTable, 10, 45, 590, 400);
  expectPlacement(ids::kSettingsGroup, 625, 5, 260, 320);
  expectPlacement(ids::kChartGroup, 625, 480, 260, 105);
  expectPlacement(ids::kChartOutputButton, 10, 540, 100, 40);
}

TEST_F(MainFormTest, ADroppedSongFillsTheTableAndTheBoxes) {
  const std::string path = writeSong();
  dropOnTable(path);
  EXPECT_EQ(box(ids::kInputFile).getText(), path);
  EXPECT_EQ(box(ids::kOutputFile).getText(), path.substr(0, path.size() - 4) + "_out.mid");
  ASSERT_EQ(table().rowCount(), 3);
  ASSERT_EQ(ListView_GetItemCount(table().getHandle()), 3);
  const std::string chord = shiftJis(u8"和音");
  EXPECT_EQ(rowCells(0),
            (std::vector<std::string>{"Piano", "tr01", "0", "960", "0", chord, "0", "Off", "0", "0", "2"}));
  EXPECT_EQ(rowCells(2)[0], "Strings");
  EXPECT_EQ(rowCells(2)[1], "tr03");
  for (int32_t row = 0; row < 3; ++row) EXPECT_TRUE(table().isChecked(row));

  // Only ".mid" and ".txt" in any case load from the table; the window loads whatever it gets.
  const std::string other = folder.file("other.mid");
  rendlow::test::MidiBuilder single;
  single.track().name("Conductor").endOfTrack(10);
  single.track().name("Solo").noteOn(0, 0, 60, 90).noteOff(10, 0, 60).endOfTrack(10);
  single.write(other);
  const std::string upper = folder.file("UPPER.MID");
  CopyFileA(other.c_str(), upper.c_str(), FALSE);
  const std::string sound = folder.file("solo.wav");
  CopyFileA(other.c_str(), sound.c_str(), FALSE);
  dropOnTable(sound);
  EXPECT_EQ(table().rowCount(), 3);
  dropOnTable(upper);
  EXPECT_EQ(table().rowCount(), 1);
  dropOnTable(path);
  SendMessageA(mainHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::makeDrop({sound})), 0);
  EXPECT_EQ(table().rowCount(), 1);
  EXPECT_EQ(box(ids::kInputFile).getText(), sound);
}

TEST_F(MainFormTest, TwoRowsWithDifferentNoteIntervalsShowAnEmptyBoxAndKeepTheirValues) {
  dropOnTable(writeSong());
  selectAndClick({1});
  box(ids::kNoteInterval).setText("480");
  pressUpdate();
  ASSERT_EQ(cell(1, 3), "480");

  selectAndClick({0, 1});
  EXPECT_EQ(form.editor().selectedRows(), (std::set<int32_t>{0, 1}));
  EXPECT_EQ(settingsCaption(), "Piano,Bass");
  EXPECT_EQ(box(ids::kNoteInterval).getText(), "");
  EXPECT_EQ(box(ids::kDefinitionName).getText(), "");
  EXPECT_EQ(box(ids::kWavDefinitionGap).getText(), "2");  // shared values still show
  pressUpdate();
  EXPECT_EQ(cell(0, 3), "960");
  EXPECT_EQ(cell(1, 3), "480");
  // Both rows keep their own definition names when the box is left empty.
  EXPECT_EQ(cell(0, 1), "tr01");
  EXPECT_EQ(cell(1, 1), "tr02");

  box(ids::kNoteInterval).setText("  240 beats");
  pressUpdate();
  EXPECT_EQ(cell(0, 3), "240");
  EXPECT_EQ(cell(1, 3), "240");
  EXPECT_EQ(app.rowSettings[0].noteInterval, 240);
  EXPECT_EQ(app.project.listedTrack(1)->settings.noteInterval, 240);

  box(ids::kNoteInterval).setText("-3");
  pressUpdate();
  EXPECT_EQ(cell(1, 3), "240");

  // Letters are no number: the field falls back to its default.
  box(ids::kNoteInterval).setText("abc");
  pressUpdate();
  EXPECT_EQ(cell(0, 3), "960");
  EXPECT_EQ(cell(1, 3), "960");

  // Larger than 32 bits: held at the largest value instead of overflowing.
  box(ids::kNoteInterval).setText("99999999999");
  pressUpdate();
  EXPECT_EQ(cell(0, 3), "2147483647");

  box(ids::kDefinitionName).setText("  lead pad");
  pressUpdate();
  EXPECT_EQ(cell(0, 1), "lead");
  EXPECT_EQ(cell(1, 1), "lead");
  EXPECT_EQ(app.rowSettings[1].definitionName, "lead");
  EXPECT_EQ(cell(2, 1), "tr03");  // not selected
}

TEST_F(MainFormTest, TheSettingsGroupShowsOneRowAndUpdatesItFromItsBoxes) {
  dropOnTable(writeSong());
  selectAndClick({2});
  EXPECT_EQ(settingsCaption(), "Strings");
  EXPECT_EQ(box(ids::kDefinitionName).getText(), "tr03");
  EXPECT_EQ(box(ids::kNoteInterval).getText(), "960");
  EXPECT_EQ(box(ids::kGridUnit).getText(), "0");
  EXPECT_EQ(control<DropdownBoxInfo>(ids::kSplitMethod).selectedIndex(), 1);
  EXPECT_FALSE(control<CheckboxInfo>(ids::kIgnoreBpm).isChecked());

  control<DropdownBoxInfo>(ids::kSplitMethod).select(2);
  SendMessageA(control(ids::kIgnoreBpm).getHandle(), BM_CLICK, 0, 0);
  box(ids::kVelocitySplitWidth).setText("8");
  box(ids::kCcSplitWidth).setText("4");
  box(ids::kCcInterval).setText("120");
  box(ids::kWavDefinitionGap).setText("0");
  box(ids::kMultipleThreshold).setText("30");
  box(ids::kGridUnit).setText("1920");
  // Enter in a settings box presses the update button.
  SendMessageA(box(ids::kVelocitySplitWidth).getHandle(), WM_CHAR, 13, 0);
  EXPECT_EQ(rowCells(2), (std::vector<std::string>{"Strings", "tr03", "8", "960", "1920",
                                                   shiftJis(u8"レガート"), "30", "On", "4", "120", "0"}));

  // Pressing update again without touching anything keeps every value, "On" included.
  pressUpdate();
  EXPECT_EQ(cell(2, 7), "On");
  EXPECT_EQ(cell(2, 5), shiftJis(u8"レガート"));
  EXPECT_TRUE(app.rowSettings[2].ignoreBpm);

  // Enter in the output-file box does nothing.
  box(ids::kVelocitySplitWidth).setText("9");
  SendMessageA(box(ids::kOutputFile).getHandle(), WM_CHAR, 13, 0);
  EXPECT_EQ(cell(2, 2), "8");
}

TEST_F(MainFormTest, AClickOnEmptySpaceClearsTheTrackFieldsButNotTheControllerBoxes) {
  dropOnTable(writeSong());
  selectAndClick({0});
  box(ids::kCcSplitWidth).setText("7");
  box(ids::kCcInterval).setText("9");
  control<CheckboxInfo>(ids::kIgnoreBpm).setChecked(true);
  selectRows({});
  clickRow(-1);
  EXPECT_EQ(settingsCaption(), "");
  for (const int32_t id : {107, 109, 111, 113, 115, 125}) EXPECT_EQ(box(id).getText(), "") << id;
  EXPECT_EQ(control<DropdownBoxInfo>(ids::kSplitMethod).selectedIndex(), -1);
  EXPECT_EQ(box(ids::kCcSplitWidth).getText(), "7");
  EXPECT_EQ(box(ids::kCcInterval).getText(), "9");
  EXPECT_TRUE(control<CheckboxInfo>(ids::kIgnoreBpm).isChecked());
  EXPECT_TRUE(form.editor().selectedRows().empty());
  // With nothing selected, update changes nothing.
  box(ids::kNoteInterval).setText("100");
  pressUpdate();
  EXPECT_EQ(cell(0, 3), "960");
}

TEST_F(MainFormTest, UncheckedRowsStayOutButTheTempoRowChecksItselfAgain) {
  dropOnTable(writeSong());
  const HWND list = table().getHandle();
  // What the list view does when the user clicks a row's check box.
  const auto uncheck = [list](int row) {
    ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(1), 0xF000);
  };

  uncheck(2);  // "Strings" carries a tempo change
  EXPECT_TRUE(table().isChecked(2));
  EXPECT_TRUE(app.rowSettings[2].enabled);

  uncheck(1);
  EXPECT_FALSE(table().isChecked(1));
  EXPECT_FALSE(app.rowSettings[1].enabled);
  EXPECT_FALSE(app.project.listedTrack(1)->settings.enabled);

  // Updating the settings of the unchecked row and a checked one leaves each as it was.
  selectAndClick({0, 1});
  box(ids::kNoteInterval).setText("120");
  pressUpdate();
  EXPECT_EQ(cell(1, 3), "120");
  EXPECT_FALSE(table().isChecked(1));
  EXPECT_FALSE(app.rowSettings[1].enabled);
  EXPECT_TRUE(app.rowSettings[0].enabled);
}

TEST_F(MainFormTest, ACaptionOfManyNamesIsCutOnACharacterBoundary) {
  // Names of thirty two-byte characters: 60 bytes each, 61 with the comma. The ninth name starts
  // at byte 488, and its twelfth character covers bytes 510 and 511.
  const std::string name = shiftJis(u8"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ");
  ASSERT_EQ(name.size(), 60u);
  dropOnTable(writeSong(std::vector<std::string>(10, name)));
  ASSERT_EQ(table().rowCount(), 10);
  selectAndClick({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  std::string joined = name;
  for (int i = 1; i < 10; ++i) joined += "," + name;
  EXPECT_EQ(settingsCaption(), joined.substr(0, 510));
}

TEST_F(MainFormTest, ASplitMethodWithoutANameShowsItsNumber) {
  dropOnTable(writeSong());
  TrackSettings record;
  ASSERT_TRUE(app.getRowSettings(0, record));
  record.splitMethod = 5;
  ASSERT_TRUE(app.applyRowSettings(0, record));
  form.refreshRow(0, app.rowSettings[0]);
  EXPECT_EQ(cell(0, 5), "5");
  record.splitMethod = -2;
  record.velocitySplitWidth = -1;
  ASSERT_TRUE(app.applyRowSettings(0, record));
  form.refreshRow(0, app.rowSettings[0]);
  EXPECT_EQ(cell(0, 5), "-2");
  form.refreshRow(-1, record);  // no row: nothing happens
}

TEST_F(MainFormTest, TheFormInterfaceReachesTheBoxesByLogicalId) {
  EXPECT_TRUE(form.hasControl(control::kInputFile));
  EXPECT_TRUE(form.hasControl(control::kArtist));
  EXPECT_FALSE(form.hasControl(999));
  form.setText(control::kGenre, "Techno");
  EXPECT_EQ(form.text(control::kGenre), "Techno");
  EXPECT_EQ(box(ids::kGenre).getText(), "Techno");
  form.setText(control::kTitle, std::string(600, 't'));
  EXPECT_EQ(form.text(control::kTitle), std::string(511, 't'));
  EXPECT_EQ(form.text(999), "");
}

}  // namespace
}  // namespace rendlow::ui
