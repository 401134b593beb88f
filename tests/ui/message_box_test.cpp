// The program's own message box, as the user meets it: what it shows, in which font, its buttons
// and what each answer, the keys included, gives back to the code that asked.

#include <map>

#include "ui/message_box.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

using test::SeenButton;
using test::SeenMessage;

class MessageBoxTest : public test::FormTest {
protected:
  int open(const MessageBoxContent& content) { return showMessageBox(shell.window(), shell.font(), content); }
  // The buttons a box should show, each in the window's font.
  std::vector<SeenButton> inFont(const std::vector<std::pair<int, std::wstring>>& buttons) {
    std::vector<SeenButton> seen;
    for (const auto& [id, caption] : buttons) seen.push_back({id, caption, shell.font()});
    return seen;
  }
};

// The names the table of cases gives the answers, the keys, the tones and the icons.
const std::map<std::wstring, int> kNumbers{{L"", 0},          {L"0", 0},          {L"OK", IDOK},
                                           {L"YES", IDYES},   {L"NO", IDNO},      {L"CANCEL", IDCANCEL},
                                           {L"EXTRA", kExtraButtonAnswer},        {L"RETURN", VK_RETURN},
                                           {L"ESCAPE", VK_ESCAPE}};
const std::map<std::wstring, BoxTone> kTones{{L"Information", BoxTone::Information}, {L"Warning", BoxTone::Warning},
                                             {L"Error", BoxTone::Error}, {L"Question", BoxTone::Question}};
const std::map<std::wstring, LPCWSTR> kIcons{{L"INFORMATION", IDI_INFORMATION}, {L"WARNING", IDI_WARNING},
                                             {L"ERROR", IDI_ERROR}, {L"QUESTION", IDI_QUESTION}};

TEST_F(MessageBoxTest, EachBoxShowsItsToneAndButtonsInTheWindowsFontAndAnswersAsChosen) {
  for (const auto& c : test::dataTable("message_boxes.tsv")) {
    ASSERT_EQ(c.size(), 11u);
    const std::wstring& what = c[0];
    const BoxButtons asked = c[3] == L"Ok" ? BoxButtons::Ok : BoxButtons::YesNoCancel;
    std::vector<std::pair<int, std::wstring>> buttons;
    for (const std::wstring& button : test::split(c[8], L';'))
      buttons.emplace_back(kNumbers.at(button.substr(0, button.find(L':'))), button.substr(button.find(L':') + 1));
    modal.seen.clear();
    modal.answer = kNumbers.at(c[5]);
    modal.key = static_cast<WPARAM>(kNumbers.at(c[6]));
    EXPECT_EQ(open({c[1], kTones.at(c[2]), asked, c[4]}), kNumbers.at(c[10])) << what;
    ASSERT_EQ(modal.seen.size(), 1u) << what;
    const SeenMessage& seen = modal.seen[0];
    EXPECT_EQ(seen.caption, L"Rendlow") << what;
    EXPECT_EQ(seen.owner, shell.window()) << what;
    EXPECT_EQ(seen.text, c[1]) << what;
    EXPECT_EQ(seen.textFont, shell.font()) << what;
    EXPECT_EQ(seen.icon, test::systemIcon(kIcons.at(c[7]))) << what;
    EXPECT_EQ(seen.buttons, inFont(buttons)) << what;
    EXPECT_EQ(seen.focused, kNumbers.at(c[9])) << what;
  }
}

// The text is wrapped and its control sized as the window's font draws it, so that no line is
// cut off at the box's edge, however long a path it names, and no room is left beside it.
TEST_F(MessageBoxTest, EveryLineOfALongTextFitsItsControlInTheWindowsFont) {
  std::wstring path = L"C:\\";
  for (int folder = 0; folder < 30; ++folder) path += L"音楽 フォルダー" + std::to_wstring(folder) + L"\\";
  path += std::wstring(200, L'W') + L".mid";
  const std::wstring text = L"ファイルを書けませんでした: " + path + L"\n短い行";
  open({text, BoxTone::Error});
  ASSERT_EQ(modal.seen.size(), 1u);
  const SeenMessage& seen = modal.seen[0];
  EXPECT_EQ(test::flat(seen.text), test::flat(text));
  EXPECT_GT(std::count(seen.text.begin(), seen.text.end(), L'\n'), 2);
  EXPECT_LE(seen.width, GetSystemMetrics(SM_CXSCREEN));
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, shell.font());
  int widest = 0;
  for (std::size_t start = 0; start <= seen.text.size();) {
    const std::size_t end = std::min(seen.text.find(L'\n', start), seen.text.size());
    SIZE size{};
    GetTextExtentPoint32W(screen, seen.text.data() + start, static_cast<int>(end - start), &size);
    widest = std::max<int>(widest, size.cx);
    start = end + 1;
  }
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(seen.textWidth, widest);
}

}  // namespace
}  // namespace rendlow::ui
