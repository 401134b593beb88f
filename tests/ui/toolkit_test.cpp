#include <memory>
#include <string>
#include <vector>

#include "ui/button_info.h"
#include "ui/checkbox_info.h"
#include "ui/dropdown_box_info.h"
#include "ui/group_info.h"
#include "ui/label_info.h"
#include "ui/list_view_info.h"
#include "ui/textbox_info.h"
#include "ui/win32.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::ShellTest;

template <class T>
std::shared_ptr<T> makeControl(ControlRegistry& registry, int32_t id, int x, int y, int width, int height,
                               std::string_view text, HWND parent = nullptr) {
  auto control = std::make_shared<T>(registry, parent);
  control->create(id, x, y, width, height, text);
  registry.add(control);
  return control;
}

template <class T>
std::shared_ptr<T> makeTextless(ControlRegistry& registry, int32_t id, HWND parent = nullptr) {
  auto control = std::make_shared<T>(registry, parent);
  control->createWithoutText(id, 10, 10, 100, 20);
  registry.add(control);
  return control;
}

LONG_PTR style(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }
LONG_PTR extendedStyle(HWND window) { return GetWindowLongPtrA(window, GWL_EXSTYLE); }

TEST_F(ShellTest, WindowIdsFollowConstructionOrderWhateverTheKindOrLogicalId) {
  LabelInfo label(registry());
  GroupInfo group(registry());
  ListViewInfo list(registry());
  CheckboxInfo checkbox(registry());
  TextboxInfo box(registry());
  EXPECT_EQ(label.windowId(), 100);
  EXPECT_EQ(group.windowId(), 101);
  EXPECT_EQ(list.windowId(), 102);
  EXPECT_EQ(checkbox.windowId(), 103);
  EXPECT_EQ(box.windowId(), 104);

  // Creating with a logical id leaves the window id alone, and the native window carries it.
  box.create(7, 0, 0, 50, 20, "");
  EXPECT_EQ(box.id(), 7);
  EXPECT_EQ(GetDlgCtrlID(box.getHandle()), 104);
  EXPECT_EQ(box.registry(), nullptr);

  ControlRegistry other;
  EXPECT_EQ(ButtonInfo(other).windowId(), 100);
}

// What each control asked the platform for, seen as the windows are created: the controls
// adjust their own styles afterwards (an edit box turns its border into an edge, a list view
// drops the scroll bar it does not need yet).
struct CreationRecord {
  std::string windowClass;
  std::string text;
  DWORD style;
  DWORD extendedStyle;
  int width;
  int height;
  INT_PTR windowId;
};

std::vector<CreationRecord>* recording = nullptr;

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && recording) {
    const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    char windowClass[64] = {};
    if (IS_INTRESOURCE(create.lpszClass))
      GetClassNameA(reinterpret_cast<HWND>(wParam), windowClass, sizeof windowClass);
    else
      lstrcpynA(windowClass, create.lpszClass, sizeof windowClass);
    recording->push_back({windowClass, create.lpszName ? create.lpszName : "",
                          static_cast<DWORD>(create.style), create.dwExStyle, create.cx, create.cy,
                          reinterpret_cast<INT_PTR>(create.hMenu)});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ShellTest, EachKindAsksForItsWindowClassAndStyles) {
  std::vector<CreationRecord> created;
  recording = &created;
  const HHOOK hook = SetWindowsHookExA(WH_CBT, recordCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  auto group = makeControl<GroupInfo>(registry(), 1, 5, 5, 300, 200, "G");
  const HWND parent = group->getHandle();
  auto label = makeControl<LabelInfo>(registry(), 2, 10, 20, 70, 20, "L", parent);
  auto button = makeControl<ButtonInfo>(registry(), 3, 10, 40, 70, 20, "B", parent);
  auto checkbox = makeControl<CheckboxInfo>(registry(), 4, 10, 60, 70, 20, "C", parent);
  auto box = makeControl<TextboxInfo>(registry(), 5, 10, 80, 70, 20, "T", parent);
  auto dropdown = makeTextless<DropdownBoxInfo>(registry(), 6, parent);
  auto list = makeTextless<ListViewInfo>(registry(), 7, parent);
  UnhookWindowsHookEx(hook);
  recording = nullptr;

  // Controls make child windows of their own (the list view's header, the combo box's list);
  // keep the ones made for the controls, recognised by their window ids.
  std::erase_if(created, [](const CreationRecord& r) { return r.windowId < 100 || r.windowId > 106; });
  struct Expected {
    const char* windowClass;
    const char* text;
    DWORD style;
    DWORD extendedStyle;
    int height;
  };
  const std::vector<Expected> expected = {
      {"BUTTON", "G", 0x50010007, 0x10, 200},
      {"STATIC", "L", 0x50000000, 0, 20},
      {"BUTTON", "B", 0x50010000, 0, 20},
      {"BUTTON", "C", 0x50010003, 0, 20},
      {"EDIT", "T", 0x50810080, 0, 20},
      {"COMBOBOX", "", 0x50010003, 0x10, 200},
      {"SysListView32", "", 0x50A10009, 0x10, 20},
  };
  ASSERT_EQ(created.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_STRCASEEQ(created[i].windowClass.c_str(), expected[i].windowClass) << i;
    EXPECT_EQ(created[i].text, expected[i].text) << i;
    EXPECT_EQ(created[i].style, expected[i].style) << i;
    EXPECT_EQ(created[i].extendedStyle, expected[i].extendedStyle) << i;
    EXPECT_EQ(created[i].height, expected[i].height) << i;
    EXPECT_EQ(created[i].windowId, static_cast<INT_PTR>(100 + i)) << i;
  }
  EXPECT_EQ(GetParent(label->getHandle()), parent);
  EXPECT_EQ(GetParent(group->getHandle()), mainHandle());
  EXPECT_EQ(label->text, "L");
  EXPECT_EQ(label->width, 70);
  EXPECT_EQ(group->height, 200);

  // Every control has its own font, and its window uses it.
  for (const auto& control : registry().controls()) {
    ASSERT_NE(control->font(), nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control->getHandle(), WM_GETFONT, 0, 0)), control->font());
  }
}

TEST_F(ShellTest, AClickInsideAGroupBoxReachesTheButtonsHandlerWithCodeZero) {
  auto first = makeControl<GroupInfo>(registry(), 1, 5, 5, 200, 200, "one");
  auto second = makeControl<GroupInfo>(registry(), 2, 210, 5, 200, 200, "two");
  auto inFirst = std::make_shared<ButtonInfo>(registry(), first->getHandle());
  auto inSecond = std::make_shared<ButtonInfo>(registry(), second->getHandle());
  std::vector<std::pair<int32_t, int32_t>> clicks;  // (logical id, code)
  for (auto& [button, id] : {std::pair{inFirst, 50}, std::pair{inSecond, 60}}) {
    button->create(id, 10, 20, 60, 20, "b");
    button->setHandler(0, [&clicks](ControlItem& control, int32_t code, WPARAM, LPARAM) {
      clicks.emplace_back(control.id(), code);
      return 0;
    });
    registry().add(button);
  }
  SendMessageA(inSecond->getHandle(), BM_CLICK, 0, 0);
  SendMessageA(inFirst->getHandle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, (std::vector<std::pair<int32_t, int32_t>>{{60, 0}, {50, 0}}));

  // The group box's own first user message is routed by the window id in its low word.
  SendMessageA(first->getHandle(), WM_USER, MAKEWPARAM(inSecond->windowId(), 0), 0);
  EXPECT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks.back().first, 60);
}

TEST_F(ShellTest, GroupBoxPaintsOnlyCheckBoxesAndLabelsOnTheButtonFace) {
  auto group = makeControl<GroupInfo>(registry(), 1, 5, 5, 300, 200, "G");
  auto label = makeControl<LabelInfo>(registry(), 2, 10, 20, 70, 20, "L", group->getHandle());
  auto checkbox = makeControl<CheckboxInfo>(registry(), 3, 10, 60, 70, 20, "C", group->getHandle());
  const HDC dc = GetDC(group->getHandle());
  const auto hollow = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  const auto ask = [&](UINT message, const std::shared_ptr<ControlItem>& control) {
    SetBkColor(dc, RGB(1, 2, 3));
    return SendMessageA(group->getHandle(), message, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control->getHandle()));
  };
  EXPECT_EQ(ask(WM_CTLCOLORBTN, checkbox), hollow);
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ask(WM_CTLCOLORSTATIC, label), hollow);
  EXPECT_EQ(ask(WM_CTLCOLORBTN, label), 0);
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(ask(WM_CTLCOLORSTATIC, checkbox), 0);
  ReleaseDC(group->getHandle(), dc);
}

TEST_F(ShellTest, DropdownDeletesPendingIndicesCountedInTheListAsItWas) {
  auto dropdown = makeTextless<DropdownBoxInfo>(registry(), 1);
  for (const char* item : {"A", "B", "C", "D"}) dropdown->addItem(item);
  dropdown->pendingDeletes = {1, 3};
  dropdown->deletePendingItems();
  ASSERT_EQ(dropdown->itemCount(), 2);
  EXPECT_EQ(dropdown->itemText(0), "A");
  EXPECT_EQ(dropdown->itemText(1), "C");
  EXPECT_EQ(dropdown->pendingDeletes, (std::vector<int32_t>{1, 3}));
  ASSERT_EQ(SendMessageA(dropdown->getHandle(), CB_GETCOUNT, 0, 0), 2);
  char text[8] = {};
  SendMessageA(dropdown->getHandle(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "C");

  dropdown->deleteItem(-1);
  dropdown->deleteItem(2);
  EXPECT_EQ(dropdown->itemCount(), 2);
  dropdown->select(1);
  EXPECT_EQ(dropdown->selectedIndex(), 1);
  dropdown->select(-1);
  EXPECT_EQ(dropdown->selectedIndex(), -1);
  dropdown->clearItems();
  EXPECT_EQ(dropdown->itemCount(), 0);
  EXPECT_EQ(SendMessageA(dropdown->getHandle(), CB_GETCOUNT, 0, 0), 0);
}

TEST_F(ShellTest, SetNumberShowsNothingForANegativeValue) {
  auto box = makeControl<TextboxInfo>(registry(), 109, 0, 0, 100, 20, "old");
  EXPECT_EQ(box->getText(), "old");
  box->setNumber(-1);
  EXPECT_EQ(box->getText(), "");
  box->setNumber(0);
  EXPECT_EQ(box->getText(), "0");
  box->setNumber(2147483647);
  EXPECT_EQ(box->getText(), "2147483647");
  box->setNumber(-2147483647 - 1);
  EXPECT_EQ(box->getText(), "");

  // A text longer than a stored text can be is read back cut to 511 bytes.
  box->setText(std::string(700, 'x'));
  EXPECT_EQ(box->getText(), std::string(511, 'x'));
}

TEST_F(ShellTest, EnterPressesTheUpdateButtonOnlyFromBoxes106To127) {
  int presses = 0;
  auto update = makeControl<ButtonInfo>(registry(), 127, 0, 0, 60, 30, "更新");
  update->setHandler(0, [&presses](ControlItem&, int32_t, WPARAM, LPARAM) { return ++presses; });
  std::vector<std::pair<int32_t, int>> expectedPresses;
  for (const int32_t id : {103, 105, 106, 107, 125, 127, 128, 129}) {
    auto box = makeControl<TextboxInfo>(registry(), id, 0, 30, 100, 20, "");
    const int before = presses;
    EXPECT_EQ(SendMessageA(box->getHandle(), WM_CHAR, 13, 0), 0);
    SendMessageA(box->getHandle(), WM_CHAR, 'a', 0);
    EXPECT_EQ(presses - before, id >= 106 && id <= 127 ? 1 : 0) << "box " << id;
    // Other characters still reach the edit box.
    EXPECT_EQ(box->getText(), "a") << "box " << id;
  }
}

TEST_F(ShellTest, CheckBoxStateAndLinkedControls) {
  auto box = makeControl<TextboxInfo>(registry(), 20, 0, 0, 100, 20, "");
  auto checkbox = makeControl<CheckboxInfo>(registry(), 21, 0, 30, 100, 20, "");
  EXPECT_TRUE(checkbox->isChecked());
  EXPECT_EQ(SendMessageA(checkbox->getHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  checkbox->setChecked(false);
  EXPECT_FALSE(checkbox->isChecked());
  checkbox->setChecked(true);
  EXPECT_TRUE(checkbox->isChecked());

  checkbox->addLinkedControl(box);
  SendMessageA(checkbox->getHandle(), BM_CLICK, 0, 0);  // unchecks it
  EXPECT_FALSE(checkbox->isChecked());
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(IsWindowEnabled(box->getHandle()));
  SendMessageA(checkbox->getHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(checkbox->isChecked());
  EXPECT_TRUE(IsWindowEnabled(box->getHandle()));
}

TEST_F(ShellTest, ListViewRowsColumnsAndCheckBoxes) {
  auto list = makeTextless<ListViewInfo>(registry(), 105);
  list->addColumn(60, "トラック名");
  list->addColumn(50, "定義名");
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list->getHandle(), LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list->getHandle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x25, 0x25);
  EXPECT_EQ(SendMessageA(list->getHandle(), LVM_GETCOLUMNWIDTH, 1, 0), 50);

  list->addRow(0, "piano");
  list->addRow(0, "bass");
  list->setCell(1, 1, "tr02");
  ASSERT_EQ(list->rowCount(), 2);
  char cell[16] = {};
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = cell;
  item.cchTextMax = sizeof cell;
  SendMessageA(list->getHandle(), LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(cell, "tr02");

  // New rows start checked; a row with no state image at all also counts as checked.
  EXPECT_TRUE(list->isChecked(0));
  list->setChecked(0, false);
  EXPECT_FALSE(list->isChecked(0));
  item = {};
  item.stateMask = 0xF000;
  item.state = 0;
  SendMessageA(list->getHandle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(SendMessageA(list->getHandle(), LVM_GETITEMSTATE, 0, 0xF000), 0);
  EXPECT_TRUE(list->isChecked(0));
  EXPECT_TRUE(list->isChecked(1));

  EXPECT_FALSE(list->isSelected(1));
  ListView_SetItemState(list->getHandle(), 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_TRUE(list->isSelected(1));

  list->addRow(0, "drums");
  list->addRow(0, "lead");
  list->pendingDeletes = {0, 2};
  list->deletePendingRows();
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->rowText(0), "bass");
  EXPECT_EQ(list->rowText(1), "lead");
  list->deleteRow(5);
  EXPECT_EQ(ListView_GetItemCount(list->getHandle()), 2);
  list->clearRows();
  EXPECT_EQ(list->rowCount(), 0);
  EXPECT_EQ(ListView_GetItemCount(list->getHandle()), 0);
}

TEST_F(ShellTest, FilesDroppedOnTheTableReachItsHandlerAndOnAGroupTheWindowsLoader) {
  auto group = makeControl<GroupInfo>(registry(), 1, 5, 5, 300, 300, "");
  auto list = std::make_shared<ListViewInfo>(registry(), group->getHandle());
  list->createWithoutText(105, 10, 45, 200, 200);
  std::vector<std::string> tableDrops;
  list->setHandler(563, [&tableDrops](ControlItem&, int32_t, WPARAM wParam, LPARAM) {
    char name[MAX_PATH] = {};
    DragQueryFileA(reinterpret_cast<HDROP>(wParam), 0, name, sizeof name);
    DragFinish(reinterpret_cast<HDROP>(wParam));
    tableDrops.push_back(name);
    return 0;
  });
  registry().add(list);
  std::vector<std::string> windowDrops;
  shell.window().fileDropped = [&windowDrops](const std::string& path) { windowDrops.push_back(path); };

  SendMessageA(list->getHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::makeDrop({"C:\\a\\x.mid"})),
               0);
  EXPECT_EQ(tableDrops, std::vector<std::string>{"C:\\a\\x.mid"});
  EXPECT_TRUE(windowDrops.empty());

  // Three files dropped on a group box: only the first is loaded.
  SendMessageA(group->getHandle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(test::makeDrop({"C:\\one.mid", "C:\\two.mid", "C:\\three.txt"})), 0);
  EXPECT_EQ(windowDrops, std::vector<std::string>{"C:\\one.mid"});

  // A name longer than 511 bytes is cut to 511 before it is loaded.
  const std::string longName = "C:\\" + std::string(600, 'n') + ".mid";
  SendMessageA(mainHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::makeDrop({longName})), 0);
  ASSERT_EQ(windowDrops.size(), 2u);
  EXPECT_EQ(windowDrops.back(), longName.substr(0, 511));
}

TEST_F(ShellTest, MainWindowHasItsClassTitleAndMinimumSize) {
  EXPECT_EQ(test::windowClassName(mainHandle()), "Windows");
  EXPECT_EQ(test::windowText(mainHandle()), "Rendlow 0.96");
  EXPECT_EQ(style(mainHandle()) & 0x00CF0000, 0x00CE0000);
  EXPECT_EQ(extendedStyle(mainHandle()) & WS_EX_ACCEPTFILES, WS_EX_ACCEPTFILES);
  MINMAXINFO limits{};
  SendMessageA(mainHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 640 + 2 * GetSystemMetrics(SM_CXDLGFRAME));
  EXPECT_EQ(limits.ptMinTrackSize.y,
            470 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION));
  RECT outer{};
  GetWindowRect(mainHandle(), &outer);
  EXPECT_EQ(outer.right - outer.left, limits.ptMinTrackSize.x);
}

}  // namespace
}  // namespace rendlow::ui
