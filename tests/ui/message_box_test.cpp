// The program's own message box, as the user meets it: what it shows, in which font, its buttons
// and what each answer, the keys included, gives back to the code that asked.

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

constexpr WPARAM kNoKey = 0;
const std::pair<int, std::wstring> kOk{IDOK, L"OK"};
const std::vector<std::pair<int, std::wstring>> kYesNoCancel{{IDYES, L"はい"}, {IDNO, L"いいえ"}, {IDCANCEL, L"キャンセル"}};

struct BoxCase {
  const char* what;
  MessageBoxContent content;
  int answer;  // the button pressed, when no key is
  WPARAM key;
  LPCWSTR icon;
  std::vector<std::pair<int, std::wstring>> buttons;
  int focused;
  int returned;
};

TEST_F(MessageBoxTest, EachBoxShowsItsToneAndButtonsInTheWindowsFontAndAnswersAsChosen) {
  const MessageBoxContent done{L"出力が完了しました", BoxTone::Information};
  const MessageBoxContent heed{L"midiファイルが壊れています", BoxTone::Warning};
  const MessageBoxContent save{L"設定が保存されていません\n保存しますか?", BoxTone::Question, BoxButtons::YesNoCancel};
  const MessageBoxContent refused{L"譜面を書きませんでした", BoxTone::Error, BoxButtons::Ok, L"収まるように調整"};
  const std::vector<std::pair<int, std::wstring>> adjustThenOk{{kExtraButtonAnswer, L"収まるように調整"}, kOk};
  const std::vector<BoxCase> cases{
      {"OK pressed", done, IDOK, kNoKey, IDI_INFORMATION, {kOk}, IDOK, IDOK},
      {"Enter chooses OK", done, 0, VK_RETURN, IDI_INFORMATION, {kOk}, IDOK, IDOK},
      {"Esc answers OK where OK is alone", heed, 0, VK_ESCAPE, IDI_WARNING, {kOk}, IDOK, IDOK},
      {"Enter chooses Yes", save, 0, VK_RETURN, IDI_QUESTION, kYesNoCancel, IDYES, IDYES},
      {"No pressed", save, IDNO, kNoKey, IDI_QUESTION, kYesNoCancel, IDYES, IDNO},
      {"Esc answers Cancel", save, 0, VK_ESCAPE, IDI_QUESTION, kYesNoCancel, IDYES, IDCANCEL},
      {"the extra button answers apart", refused, kExtraButtonAnswer, kNoKey, IDI_ERROR, adjustThenOk, IDOK,
       kExtraButtonAnswer},
      {"Enter still chooses OK beside the extra button", refused, 0, VK_RETURN, IDI_ERROR, adjustThenOk, IDOK,
       IDOK},
      // The watch ends a box that stays open with 0.
      {"an answer the box lacks leaves it open", done, IDYES, kNoKey, IDI_INFORMATION, {kOk}, IDOK, 0},
  };
  for (const BoxCase& c : cases) {
    modal.seen.clear();
    modal.answer = c.answer;
    modal.key = c.key;
    EXPECT_EQ(open(c.content), c.returned) << c.what;
    ASSERT_EQ(modal.seen.size(), 1u) << c.what;
    const SeenMessage& seen = modal.seen[0];
    EXPECT_EQ(seen.caption, L"Rendlow") << c.what;
    EXPECT_EQ(seen.owner, shell.window()) << c.what;
    EXPECT_EQ(seen.text, c.content.text) << c.what;
    EXPECT_EQ(seen.textFont, shell.font()) << c.what;
    EXPECT_EQ(seen.icon, test::systemIcon(c.icon)) << c.what;
    EXPECT_EQ(seen.buttons, inFont(c.buttons)) << c.what;
    EXPECT_EQ(seen.focused, c.focused) << c.what;
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

// The form's messages and its question on closing reach the user through this box, in its font.
TEST_F(MessageBoxTest, TheFormsMessagesComeInTheProgramsOwnBox) {
  SendMessageW(shell.window(), WM_COMMAND, ids::kAboutStems, 0);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_EQ(modal.seen[0].textFont, shell.font());
  EXPECT_EQ(modal.seen[0].buttons, inFont({kOk}));
}

}  // namespace
}  // namespace rendlow::ui
