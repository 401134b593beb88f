#include <array>
#include <fstream>
#include <iterator>
#include <map>

#include "ui_test_support.h"

// The window as a Windows author uses it: edits that are not lost, numbers that are not changed
// behind the author's back, the keyboard, the dialogs, what is enabled when, the table's headers
// and columns, resizing, and outputs that fail without leaving anything behind.
namespace rendlow::ui {
namespace {

using test::field;
using test::FormTest;
namespace fs = std::filesystem;
constexpr auto npos = std::wstring::npos;

constexpr int kNoteIntervalColumn = 3;
constexpr int kVelocityColumn = 2;
constexpr int kSoundColumn = 11;

class WindowTest : public FormTest {
protected:
  // Drains the quit message a destroyed main window leaves, so later modal loops still run.
  void TearDown() override {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    FormTest::TearDown();
  }
  void close() { SendMessageW(shell.window(), WM_CLOSE, 0, 0); }
  bool enabled(int id) { return IsWindowEnabled(item(id)) != 0; }
};

TEST_F(WindowTest, LeavingARowKeepsWhatWasTypedForIt) {
  drop(ids::kTrackTable, writeSong());
  select({0});
  type(field("noteInterval"), L"480");
  select({1});  // another row, without "更新"
  EXPECT_EQ(cell(0, kNoteIntervalColumn), L"480");
  EXPECT_EQ(cell(1, kNoteIntervalColumn), L"960");
  EXPECT_EQ(text(field("noteInterval")), L"960");  // the group shows the row left for

  type(field("velocitySplitWidth"), L"8");
  select({}, -1);  // below the rows
  EXPECT_EQ(cell(1, kVelocityColumn), L"8");
  select({2});  // nothing typed since: nothing written into row 2
  select({0});
  EXPECT_EQ(cell(2, kVelocityColumn), L"0");
}

TEST_F(WindowTest, ClosingWithNothingChangedAsksNothing) {
  drop(ids::kTrackTable, writeSong());
  close();  // nothing changed: no question
  EXPECT_TRUE(modal.seen.empty());
  EXPECT_FALSE(IsWindow(shell.window()));
}

// Closing with settings that no file holds asks; what the author answers is done.
TEST_F(WindowTest, AnUnsavedChangeAsksAndEachAnswerDoesWhatItSays) {
  const std::wstring song = writeSong();
  const fs::path settings = fs::path(song).replace_extension(L".txt");
  drop(ids::kTrackTable, song);
  select({0});
  type(field("noteInterval"), L"240");  // typed, not yet in the row: closing keeps it too

  modal.answer = IDCANCEL;
  close();
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].text.find(L"設定が保存されていません\n"), 0u) << modal.seen[0].text;
  EXPECT_TRUE(IsWindow(shell.window()));
  EXPECT_EQ(cell(0, kNoteIntervalColumn), L"240");
  EXPECT_FALSE(fs::exists(settings));

  modal.answer = IDYES;
  close();
  EXPECT_EQ(modal.seen.size(), 2u);
  EXPECT_FALSE(IsWindow(shell.window()));
  ASSERT_TRUE(fs::exists(settings));
  std::ifstream saved(settings);
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), {}).find("\t240\t"), std::string::npos);
}

TEST_F(WindowTest, NoAnswerClosesWithoutSaving) {
  const std::wstring song = writeSong();
  drop(ids::kTrackTable, song);
  setState(0, 0xF000, INDEXTOSTATEIMAGEMASK(1));  // a track left out is a change too
  modal.answer = IDNO;
  close();
  EXPECT_EQ(modal.seen.size(), 1u);
  EXPECT_FALSE(IsWindow(shell.window()));
  EXPECT_FALSE(fs::exists(fs::path(song).replace_extension(L".txt")));
}

// A number box takes digits only; what else reaches it (pasted, set) is refused by name with the
// field's range, and the box and the rows keep their last good value.
TEST_F(WindowTest, ANumberOutsideItsFieldsRangeIsRefusedByName) {
  drop(ids::kTrackTable, writeSong());
  const HWND interval = item(field("noteInterval"));
  SendMessageW(interval, WM_CHAR, L'a', 0);
  SendMessageW(interval, WM_CHAR, L'-', 0);
  EXPECT_EQ(test::textOf(interval), L"960");  // typed letters and signs do not land
  const HWND name = item(field("definitionName"));
  SendMessageW(name, WM_CHAR, L'a', 0);
  EXPECT_NE(test::textOf(name), L"tr01");  // where any text goes, they do

  select({0});
  for (const auto& row : test::dataTable("refused_numbers.tsv")) {
    const std::wstring& typed = row.at(0);
    modal.seen.clear();
    type(field("noteInterval"), typed);
    press(ids::kUpdateButton);
    ASSERT_EQ(modal.seen.size(), 1u) << typed;
    EXPECT_EQ(modal.seen[0].text.find(L"「音符間隔」には 0 から 2147483647 までの整数を入れてください\n"), 0u)
        << modal.seen[0].text;
    EXPECT_NE(modal.seen[0].text.find(L"入力: " + typed), npos) << modal.seen[0].text;
    EXPECT_EQ(text(field("noteInterval")), L"960") << typed;
    EXPECT_EQ(cell(0, kNoteIntervalColumn), L"960") << typed;
  }
  modal.seen.clear();
  type(field("noteInterval"), L"2147483647");
  press(ids::kUpdateButton);
  EXPECT_TRUE(modal.seen.empty());
  EXPECT_EQ(cell(0, kNoteIntervalColumn), L"2147483647");
  type(field("noteInterval"), L"x");
  press(ids::kUpdateButton);
  EXPECT_EQ(text(field("noteInterval")), L"2147483647");  // the last good value is the last applied
}

// Tab and Shift+Tab, as the program's own message loop handles them.
TEST_F(WindowTest, TabVisitsTheControlsInReadingOrderAndShiftTabGoesBack) {
  drop(ids::kTrackTable, writeSong());
  std::vector<int> order = {ids::kInputFile, ids::kBrowseButton, ids::kTrackTable};
  for (const TrackField* f : fieldsInPlaceOrder(&TrackField::editorPlace)) order.push_back(ids::fieldControlId(*f));
  for (const int id : {ids::kUpdateButton, ids::kOutputFile, ids::kChartOutputButton, ids::kMidiOutputButton,
                       ids::kSaveSettingsButton, ids::kGenre, ids::kTitle, ids::kArtist, ids::kInputFile})
    order.push_back(id);
  // One key through the loop: the key is posted to the focused control, then the loop runs until
  // the quit message behind it.
  const auto key = [&](bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PostQuitMessage(0);
    runMessageLoop(shell.window());
  };
  SetFocus(item(ids::kInputFile));
  for (std::size_t next = 1; next < order.size(); ++next) {
    key(false);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), order[next]) << "after " << order[next - 1];
  }
  for (std::size_t back = order.size() - 1; back-- > 0;) {
    key(true);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), order[back]) << "before " << order[back + 1];
  }
  key(false);  // the key state is the thread's own: leave Shift up
}

// The dialogs' titles are the desktop run's check: scripts/ui-e2e.sh waits for each by its name.
TEST_F(WindowTest, TheOpenDialogShowsTheSongFilterAndTheStemsDialogStartsInTheSongsFolder) {
  const std::wstring song = writeSong({"Piano"}, L"album");
  modal.chosenFile = song;
  press(ids::kBrowseButton);
  EXPECT_EQ(modal.filterShown, L"Midi file {*.mid;*.txt}");
  ASSERT_EQ(rows(), 1);

  // A folder typed by its name alone is the one beside the song.
  fs::create_directory(fs::path(song).parent_path() / L"stems");
  modal.chosenFile = L"stems";
  modal.dialogsAnswered = 0;
  SendMessageW(shell.window(), WM_COMMAND, ids::kCutFromStems, 0);
  EXPECT_EQ(modal.dialogsAnswered, 1);
  const std::wstring stems = (fs::path(song).parent_path() / L"stems").wstring();
  bool named = false;
  for (const test::SeenMessage& message : modal.seen) named |= message.text.find(stems) != npos;
  EXPECT_TRUE(named) << "no message names " << fs::path(stems).string();
}

// The chart menu's command makes the chart from the song alone, and keeps the one the author edited.
TEST_F(WindowTest, TheFreshChartCommandKeepsTheEditedChartBesideTheNewOne) {
  const std::wstring song = writeSong({"Piano"}, L"fresh");
  drop(ids::kTrackTable, song);
  press(ids::kChartOutputButton);
  const fs::path chart = fs::path(song).replace_extension().wstring() + L"_out.bme";
  ASSERT_TRUE(fs::exists(chart));
  std::ofstream(chart, std::ios::app) << "#STAGEFILE mine.bmp\n";
  modal.seen.clear();
  SendMessageW(shell.window(), WM_COMMAND, ids::kFreshChart, 0);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_NE(modal.seen[0].text.find(L"譜面を曲だけから作り直しました。"), npos) << test::utf8(modal.seen[0].text);
  EXPECT_TRUE(fs::exists(chart.wstring() + L".bak"));  // what the chart then holds is the chart keeping's
}

TEST_F(WindowTest, BeforeASongOnlyTheHelpWorksAndNoCheckBoxShowsAState) {
  const int songControls[] = {ids::kChartOutputButton, ids::kMidiOutputButton, ids::kSaveSettingsButton,
                              ids::kUpdateButton};
  for (const int id : songControls) EXPECT_FALSE(enabled(id)) << id;
  EXPECT_EQ(SendMessageW(item(field("ignoreBpm")), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  drop(ids::kTrackTable, writeSong());
  for (const int id : songControls) EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(WindowTest, EveryHeaderHasItsFullNameAsATooltipOverIt) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(table(), LVM_GETHEADER, 0, 0));
  // The thread's one tooltip control: the table's.
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  ASSERT_EQ(columns, kSoundColumn + 1);
  std::wstring tips;
  for (int column = 0; column < columns; ++column) {
    wchar_t tip[200] = {};
    TTTOOLINFOW tool{.cbSize = sizeof(TTTOOLINFOW), .hwnd = header, .uId = static_cast<UINT_PTR>(column), .lpszText = tip};
    ASSERT_TRUE(SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) << column;
    RECT over{};
    SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&over));
    EXPECT_TRUE(EqualRect(&tool.rect, &over)) << column;
    tips += tip + std::wstring(L"\n");
  }
  // A column's tooltip is its field's caption, or says more than its title.
  rendlow::test::expectGolden(test::utf8(tips), RENDLOW_TEST_DATA_DIR "/ui/data/header_tooltips.txt");
}

TEST_F(WindowTest, AFlagShowsAsTheGroupsCheckBoxAndAnotherSongShowsItsOwnFirstRow) {
  drop(ids::kTrackTable, writeSong());
  EXPECT_EQ(text(ids::kSettingsGroup), L"Piano");  // the first row, shown once the song loads
  select({2});
  press(field("ignoreBpm"));  // checked in the group, not applied: the next song clears it

  drop(ids::kTrackTable, writeSong({"Solo", "Duet"}, L"", L"other.mid"));
  EXPECT_EQ(text(ids::kSettingsGroup), L"Solo");
  EXPECT_EQ(text(field("definitionName")), L"tr01");
  EXPECT_EQ(SendMessageW(item(field("ignoreBpm")), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// Every child window's place (left, top, right, bottom), and every column's width.
using Layout = std::pair<std::map<HWND, std::array<LONG, 4>>, std::vector<int>>;

TEST_F(WindowTest, ResizingGrowsTheColumnsAndPathBoxesAndTheFirstSizeGivesTheFirstLayout) {
  drop(ids::kTrackTable, writeSong());
  const auto layout = [&] {
    Layout now;
    const auto place = [](HWND child, LPARAM into) {
      RECT rect{};
      GetWindowRect(child, &rect);
      reinterpret_cast<Layout*>(into)->first[child] = {rect.left, rect.top, rect.right, rect.bottom};
      return TRUE;
    };
    EnumChildWindows(shell.window(), place, reinterpret_cast<LPARAM>(&now));
    for (int column = 0; column <= kSoundColumn; ++column)
      now.second.push_back(static_cast<int>(SendMessageW(table(), LVM_GETCOLUMNWIDTH, column, 0)));
    return now;
  };
  const auto resize = [&](int dx, int dy) {
    RECT outer{};
    GetWindowRect(shell.window(), &outer);
    SetWindowPos(shell.window(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
  };
  const auto width = [&](int id, const Layout& at) { return at.first.at(item(id))[2] - at.first.at(item(id))[0]; };
  const Layout first = layout();
  resize(300, 120);
  const Layout grown = layout();
  for (const int id : {ids::kInputFile, ids::kOutputFile, ids::kTrackTable})
    EXPECT_EQ(width(id, grown), width(id, first) + 300) << id;
  for (int column = 0; column <= kSoundColumn; ++column)
    EXPECT_GT(grown.second[column], first.second[column]) << column;
  resize(-300, -120);
  EXPECT_EQ(layout(), first);
}

TEST_F(WindowTest, EachRowShowsHowManySoundsItsTrackMadeOnceWritten) {
  const fs::path song = fs::path(dataDir.path()) / "song.mid";  // its outputs go beside it
  fs::copy_file(RENDLOW_TEST_DATA_DIR "/ui/data/three_pitches_and_a_drone.mid", song);
  drop(ids::kTrackTable, song.wstring());
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(cell(0, kSoundColumn), L"");  // nothing converted yet
  press(ids::kMidiOutputButton);
  EXPECT_EQ(cell(0, kSoundColumn), L"3");
  EXPECT_EQ(cell(1, kSoundColumn), L"1");
}

}  // namespace
}  // namespace rendlow::ui
