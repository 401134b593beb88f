#include "ui/message_box.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "ui/message_box_layout.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// The ids the system's boxes give their icon and their text, so that what reads those reads
// this one alike.
constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;
constexpr UINT kTextFormat = DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX;

bool isBreakAfter(wchar_t c) { return c == L' ' || c == L'\\' || c == L'/'; }

// How many characters of `line` (two or more wide) start it on a line of at most `widest` pixels.
std::size_t fittingLength(std::wstring_view line, int widest, const TextWidth& width) {
  std::size_t fits = 1;
  while (fits < line.size() && width(line.substr(0, fits + 1)) <= widest) ++fits;
  if (fits == line.size()) return fits;
  for (std::size_t at = fits; at > 1; --at)
    if (isBreakAfter(line[at - 1])) return at;
  return fits;
}

void appendWrapped(std::wstring& out, std::wstring_view line, int widest, const TextWidth& width) {
  while (!line.empty() && width(line) > widest) {
    const std::size_t length = fittingLength(line, widest, width);
    out.append(line.substr(0, length)).push_back(L'\n');
    line.remove_prefix(length);
  }
  out.append(line);
}

// The screen's width less what the box puts around its text: the icon, the margins, the frame.
int widestLine() {
  constexpr int kAroundText = 160;
  return GetSystemMetrics(SM_CXSCREEN) - kAroundText;
}

struct BoxButton {
  int answer;
  std::wstring caption;
};

// What the box's procedure works from while the box is open.
struct OpenBox {
  HFONT font = nullptr;
  BoxTone tone = BoxTone::Information;
  std::wstring text;  // wrapped
  std::vector<BoxButton> buttons;
  int defaultAnswer = IDOK;
  int escapeAnswer = IDOK;  // what Esc and the close box answer
  MessageBoxLayout layout;
};

std::vector<BoxButton> buttonsOf(const MessageBoxContent& content) {
  std::vector<BoxButton> buttons;
  if (!content.extraButton.empty()) buttons.push_back({kExtraButtonAnswer, content.extraButton});
  const auto caption = [](const Message& message) { return toWindowText(message.in(Audience::Window)); };
  if (content.buttons == BoxButtons::Ok) {
    buttons.push_back({IDOK, caption(okButtonCaption())});
  } else {
    buttons.push_back({IDYES, caption(yesButtonCaption())});
    buttons.push_back({IDNO, caption(noButtonCaption())});
    buttons.push_back({IDCANCEL, caption(cancelButtonCaption())});
  }
  return buttons;
}

SIZE drawnSize(HDC context, const std::wstring& text, UINT format) {
  RECT rect{};
  DrawTextW(context, text.c_str(), -1, &rect, DT_CALCRECT | format);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The box's text wrapped and every part measured as `font` draws it, so that the box fits what
// it shows.
void measure(OpenBox& box, const MessageBoxContent& content) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, box.font);
  const TextWidth width = [screen](std::wstring_view piece) {
    SIZE size{};
    GetTextExtentPoint32W(screen, piece.data(), static_cast<int>(piece.size()), &size);
    return static_cast<int>(size.cx);
  };
  box.text = wrapLines(content.text, widestLine(), width);
  MessageBoxMeasures measures{{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
                              drawnSize(screen, box.text, kTextFormat),
                              {}};
  for (const BoxButton& button : box.buttons)
    measures.buttonTextWidths.push_back(drawnSize(screen, button.caption, DT_SINGLELINE).cx);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  box.layout = layOutMessageBox(measures);
}

struct ToneLook {
  LPCWSTR icon;
  UINT sound;
};

ToneLook lookOf(BoxTone tone) {
  switch (tone) {
    case BoxTone::Warning:
      return {IDI_WARNING, MB_ICONWARNING};
    case BoxTone::Error:
      return {IDI_ERROR, MB_ICONERROR};
    case BoxTone::Question:
      return {IDI_QUESTION, MB_ICONQUESTION};
    case BoxTone::Information:
      break;
  }
  return {IDI_INFORMATION, MB_ICONINFORMATION};
}

HWND makeChild(HWND dialog, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id,
               const RECT& at, HFONT font) {
  const HWND child = CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left,
                                     at.top, at.right - at.left, at.bottom - at.top, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// The box as large as its layout, centred on the work area of its owner's screen.
void place(HWND dialog, SIZE client) {
  RECT outer{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(GetWindow(dialog, GW_OWNER), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int x = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
  const int y = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
  SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Makes the box's parts, each in the box's font; the focus goes to the default button.
void build(HWND dialog, const OpenBox& box) {
  const MessageBoxLayout& layout = box.layout;
  const HWND icon = makeChild(dialog, L"STATIC", L"", SS_ICON, kIconId, layout.icon, box.font);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, lookOf(box.tone).icon)), 0);
  makeChild(dialog, L"STATIC", box.text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, kTextId, layout.text, box.font);
  for (std::size_t i = 0; i < box.buttons.size(); ++i) {
    const BoxButton& button = box.buttons[i];
    const DWORD kind = button.answer == box.defaultAnswer ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    // One group, so that the arrow keys move along the row as they do in the system's boxes.
    const DWORD group = i == 0 ? WS_GROUP : 0;
    makeChild(dialog, L"BUTTON", button.caption, WS_TABSTOP | group | kind, button.answer, layout.buttons[i],
              box.font);
  }
  SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(box.defaultAnswer), 0);
  place(dialog, layout.client);
  SetFocus(GetDlgItem(dialog, box.defaultAnswer));
}

bool offers(const OpenBox& box, int answer) {
  return std::any_of(box.buttons.begin(), box.buttons.end(),
                     [answer](const BoxButton& button) { return button.answer == answer; });
}

INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    build(dialog, *reinterpret_cast<const OpenBox*>(lParam));
    return FALSE;  // the focus is set
  }
  const auto* box = reinterpret_cast<const OpenBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND || !box || HIWORD(wParam) != BN_CLICKED) return FALSE;
  // Esc and the close box come as Cancel, whether the box has that button or not.
  const int answer = LOWORD(wParam) == IDCANCEL ? box->escapeAnswer : LOWORD(wParam);
  if (offers(*box, answer)) EndDialog(dialog, answer);
  return TRUE;
}

// A box without parts: the procedure makes them once it knows what the font needs.
struct alignas(4) EmptyBoxTemplate {
  DLGTEMPLATE dialog{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0, 0};
  WORD menu = 0;
  WORD windowClass = 0;
  wchar_t caption[8] = L"Rendlow";  // the program's name
};

}  // namespace

std::wstring wrapLines(std::wstring_view text, int widest, const TextWidth& width) {
  std::wstring out;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(L'\n', start);
    appendWrapped(out, text.substr(start, end - start), widest, width);
    if (end == std::wstring_view::npos) return out;
    out.push_back(L'\n');
    start = end + 1;
  }
}

int showMessageBox(HWND owner, HFONT font, const MessageBoxContent& content) {
  OpenBox box;
  box.font = font;
  box.tone = content.tone;
  box.buttons = buttonsOf(content);
  if (content.buttons == BoxButtons::YesNoCancel) {
    box.defaultAnswer = IDYES;
    box.escapeAnswer = IDCANCEL;
  }
  measure(box, content);
  MessageBeep(lookOf(content.tone).sound);
  const EmptyBoxTemplate boxTemplate;
  const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &boxTemplate.dialog, owner,
                                                 procedure, reinterpret_cast<LPARAM>(&box));
  // Like MessageBoxW, 0 when the box could not be made.
  return answer > 0 ? static_cast<int>(answer) : 0;
}

}  // namespace rendlow::ui
