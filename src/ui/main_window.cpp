#include "ui/main_window.h"

#include <optional>
#include <string>

#include "ui/dropped_files.h"
#include "ui/form_ids.h"
#include "ui/win32.h"

namespace rendlow::ui {

namespace {

constexpr int kDefaultSettingsGroupWidth = 260;

WindowInfo* reachableWindow(HWND window) {
  const ControlRegistry* registry = ControlRegistry::of(window);
  return registry ? registry->mainWindow : nullptr;
}

void routeToControl(HWND window, int32_t code, WPARAM wParam, LPARAM lParam) {
  if (ControlItem* control = ControlRegistry::of(window)->findByWindowId(LOWORD(wParam)))
    control->handleMessage(code, wParam, lParam);
}

void paintControls(HWND window) {
  PAINTSTRUCT paint{};
  BeginPaint(window, &paint);
  for (const auto& control : ControlRegistry::of(window)->controls())
    if (control->hasCustomPaint()) control->paint();
  EndPaint(window, &paint);
}

void limitTrackingSize(const WindowInfo& info, LPARAM lParam) {
  auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
  const SIZE minimum = outerWindowSize(info.initialWidth, info.initialHeight);
  limits->ptMinTrackSize.x = minimum.cx;
  limits->ptMinTrackSize.y = minimum.cy;
}

void loadDroppedFile(WindowInfo& info, WPARAM wParam) {
  const std::optional<std::string> path = takeFirstDroppedFile(reinterpret_cast<HDROP>(wParam));
  if (path && info.fileDropped) info.fileDropped(*path);
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowInfo* info = reachableWindow(window);
  if (!info) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      info->width = LOWORD(lParam);
      info->height = HIWORD(lParam);
      layoutControls(*info, *ControlRegistry::of(window));
      return 0;
    case WM_PAINT:
      paintControls(window);
      return 0;
    case WM_GETMINMAXINFO:
      limitTrackingSize(*info, lParam);
      return 0;
    case WM_NOTIFY:
      routeToControl(window, WM_NOTIFY, wParam, lParam);
      return 0;
    case WM_COMMAND:
      routeToControl(window, HIWORD(wParam), wParam, lParam);
      return 0;
    case WM_DROPFILES:
      loadDroppedFile(*info, wParam);
      return 0;
    case WM_INITDIALOG:
      return 1;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

namespace {

SIZE outerSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Moves one control; a negative width or height keeps the control's own.
void place(const ControlRegistry& registry, int id, int x, int y, int width, int height) {
  const ControlItem* control = registry.findById(id);
  if (!control) return;
  const SIZE own = outerSize(control->getHandle());
  SetWindowPos(control->getHandle(), HWND_TOP, x, y, width < 0 ? own.cx : width, height < 0 ? own.cy : height,
               0);
}

constexpr int kOwn = -1;

}  // namespace

void layoutControls(const WindowInfo& window, const ControlRegistry& registry) {
  const int w = window.width;
  const int h = window.height;
  const ControlItem* settingsGroup = registry.findById(ids::kSettingsGroup);
  const int g = settingsGroup ? outerSize(settingsGroup->getHandle()).cx : kDefaultSettingsGroupWidth;
  place(registry, ids::kMidiGroup, 5, 5, w - g - 30, h - 140);
  place(registry, ids::kTrackTable, 10, 45, w - g - 50, h - 200);
  place(registry, ids::kSettingsGroup, w - g - 15, 5, g, kOwn);
  place(registry, ids::kChartGroup, w - g - 15, h - 120, g, kOwn);
  place(registry, ids::kOutputLabel, 15, h - 115, kOwn, kOwn);
  place(registry, ids::kOutputFile, 85, h - 120, kOwn, kOwn);
  place(registry, ids::kChartOutputButton, 10, h - 60, kOwn, kOwn);
  place(registry, ids::kMidiOutputButton, 125, h - 60, kOwn, kOwn);
  place(registry, ids::kSaveSettingsButton, 240, h - 60, kOwn, kOwn);
}

SIZE outerWindowSize(int clientWidth, int clientHeight) {
  return {clientWidth + 2 * GetSystemMetrics(SM_CXDLGFRAME),
          clientHeight + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION)};
}

bool registerMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kApplicationIcon));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  windowClass.lpszClassName = kMainWindowClass;
  if (RegisterClassA(&windowClass)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int runMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace rendlow::ui
