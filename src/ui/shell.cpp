#include "ui/shell.h"

#include <optional>

#include "ui/dropped_files.h"
#include "ui/form_ids.h"
#include "ui/ui_font.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

constexpr char kWindowClass[] = "Windows";
constexpr char kWindowTitle[] = "Rendlow 0.96";
constexpr int kApplicationIcon = 108;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
constexpr DWORD kExtendedStyle = WS_EX_ACCEPTFILES;

// The outer size that gives the main window, with its frame, caption and one line of menu bar,
// a client area of `clientWidth` × `clientHeight`.
SIZE outerWindowSize(int clientWidth, int clientHeight) {
  RECT rect{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, kStyle, TRUE, kExtendedStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Shell::Shell() {
  INITCOMMONCONTROLSEX init{};
  init.dwSize = sizeof(init);
  init.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&init);
}

Shell::~Shell() {
  if (window_) {
    // Without its object the procedure answers as the default one, which ends no message loop.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
}

bool Shell::open(HINSTANCE instance, int showCommand) {
  const std::wstring className = toWindowText(kWindowClass);
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIcon));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  windowClass.lpszClassName = className.c_str();
  if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  font_ = createUiFont();
  if (!font_) return false;
  const SIZE outer = outerWindowSize(kInitialClientWidth, kInitialClientHeight);
  const HMENU menuBar = menuBar_.create();
  window_ =
      CreateWindowExW(kExtendedStyle, className.c_str(), toWindowText(kWindowTitle).c_str(), kStyle,
                      CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr, menuBar, instance, this);
  // A window destroys its menu bar; without the window, nothing else would.
  if (!window_) {
    DestroyMenu(menuBar);
    return false;
  }
  ShowWindow(window_, showCommand);
  return true;
}

void Shell::showStatus(const std::wstring& status) {
  std::wstring caption = toWindowText(kWindowTitle);
  if (!status.empty()) caption += L" - " + status;
  SetWindowTextW(window_, caption.c_str());
}

void Shell::enableSongCommands(bool enabled) {
  for (const int command : {ids::kMakeKeysounds, ids::kCutFromStems, ids::kFreshChart})
    EnableMenuItem(GetMenu(window_), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

LRESULT CALLBACK Shell::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Shell*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* shell = reinterpret_cast<Shell*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!shell) return DefWindowProcW(window, message, wParam, lParam);
  return shell->handle(message, wParam, lParam);
}

LRESULT Shell::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (!onClose || onClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      clientWidth_ = LOWORD(lParam);
      if (onResize) onResize(clientWidth_, HIWORD(lParam));
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      const SIZE minimum = outerWindowSize(kInitialClientWidth, kInitialClientHeight);
      limits->ptMinTrackSize.x = minimum.cx;
      limits->ptMinTrackSize.y = minimum.cy;
      return 0;
    }
    case WM_COMMAND:
      // A menu's command comes with no control window and notification code 0.
      if (lParam == 0 && HIWORD(wParam) == 0) {
        if (onMenuCommand) onMenuCommand(LOWORD(wParam));
        return 0;
      }
      return reflectToChild(message, wParam, lParam);
    case WM_NOTIFY:
      return reflectToChild(message, wParam, lParam);
    case WM_MEASUREITEM:
      if (menuBar_.measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), font_)) return TRUE;
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_DRAWITEM:
      if (menuBar_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), font_)) return TRUE;
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_MENUCHAR:
      if (const std::optional<int> item = menuBar_.itemForKey(LOWORD(wParam), reinterpret_cast<HMENU>(lParam)))
        return MAKELRESULT(*item, MNC_EXECUTE);
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_DROPFILES: {
      const std::optional<std::wstring> path = takeFirstDroppedFile(reinterpret_cast<HDROP>(wParam));
      if (path && onFileDropped) onFileDropped(*path);
      return 0;
    }
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

int runMessageLoop(HWND window) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace rendlow::ui
