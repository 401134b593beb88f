#include "ui/menu_bar.h"

#include <algorithm>

#include "base/messages_labels.h"
#include "ui/form_ids.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// Room around a text on the bar, and beside it in a drop-down, where the system keeps the
// check mark's column.
constexpr int kBarPadding = 6;
constexpr int kTextGap = 4;

SIZE textSize(const std::wstring& text, HFONT font) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  RECT rect{};
  DrawTextW(screen, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Access keys are letters without case: Alt+A and Alt+Shift+A choose the same item.
bool sameLetter(wchar_t accessKey, wchar_t key) {
  const auto upper = [](wchar_t c) { return CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))); };
  return accessKey != 0 && upper(accessKey) == upper(key);
}

int textColour(UINT state, bool highlighted) {
  if (state & (ODS_GRAYED | ODS_DISABLED)) return COLOR_GRAYTEXT;
  return highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
}

}  // namespace

wchar_t accessKeyOf(std::wstring_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return text[i + 1];
    ++i;
  }
  return 0;
}

const MenuBar::Entry* MenuBar::add(std::string_view text, bool onBar) {
  entries_.push_back({toWindowText(text), onBar});
  return &entries_.back();
}

HMENU MenuBar::create() {
  const HMENU sound = CreatePopupMenu();
  const auto item = [](const Entry* entry) { return reinterpret_cast<const wchar_t*>(entry); };
  AppendMenuW(sound, MF_OWNERDRAW | MF_GRAYED, ids::kMakeKeysounds,
              item(add(makeKeysoundsMenuItem().in(Audience::Window), false)));
  AppendMenuW(sound, MF_OWNERDRAW | MF_GRAYED, ids::kCutFromStems,
              item(add(cutFromStemsMenuItem().in(Audience::Window), false)));
  AppendMenuW(sound, MF_OWNERDRAW, ids::kAboutStems,
              item(add(aboutStemsMenuItem().in(Audience::Window), false)));
  // The bar keeps one menu: the system spaces items on the bar by its own font, which differs from
  // locale to locale, and the window must look the same in every one.
  AppendMenuW(sound, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(sound, MF_OWNERDRAW | MF_GRAYED, ids::kFreshChart,
              item(add(freshChartMenuItem().in(Audience::Window), false)));
  const HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sound),
              item(add(soundMenuCaption().in(Audience::Window), true)));
  return bar;
}

const MenuBar::Entry* MenuBar::entryOf(ULONG_PTR itemData) const {
  const auto* entry = reinterpret_cast<const Entry*>(itemData);
  const bool ours = std::any_of(entries_.begin(), entries_.end(), [entry](const Entry& e) { return &e == entry; });
  return ours ? entry : nullptr;
}

bool MenuBar::measure(MEASUREITEMSTRUCT& item, HFONT font) const {
  const Entry* entry = item.CtlType == ODT_MENU ? entryOf(item.itemData) : nullptr;
  if (!entry) return false;
  const SIZE text = textSize(entry->text, font);
  if (entry->onBar) {
    item.itemWidth = static_cast<UINT>(text.cx + 2 * kBarPadding);
    item.itemHeight = static_cast<UINT>(text.cy);
  } else {
    const int checkColumn = GetSystemMetrics(SM_CXMENUCHECK);
    item.itemWidth = static_cast<UINT>(checkColumn + kTextGap + text.cx + checkColumn);
    item.itemHeight = static_cast<UINT>(std::max<int>(text.cy + kTextGap, GetSystemMetrics(SM_CYMENU)));
  }
  return true;
}

bool MenuBar::draw(const DRAWITEMSTRUCT& item, HFONT font) const {
  const Entry* entry = item.CtlType == ODT_MENU ? entryOf(item.itemData) : nullptr;
  if (!entry) return false;
  const bool highlighted = item.itemState & (ODS_SELECTED | ODS_HOTLIGHT);
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_MENU));
  const HGDIOBJ previousFont = SelectObject(item.hDC, font);
  const int previousMode = SetBkMode(item.hDC, TRANSPARENT);
  const COLORREF previousColour = SetTextColor(item.hDC, GetSysColor(textColour(item.itemState, highlighted)));
  RECT textRect = item.rcItem;
  UINT format = DT_SINGLELINE | DT_VCENTER | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  if (entry->onBar) {
    format |= DT_CENTER;
  } else {
    textRect.left += GetSystemMetrics(SM_CXMENUCHECK) + kTextGap;
  }
  DrawTextW(item.hDC, entry->text.c_str(), -1, &textRect, format);
  SetTextColor(item.hDC, previousColour);
  SetBkMode(item.hDC, previousMode);
  SelectObject(item.hDC, previousFont);
  return true;
}

std::optional<int> MenuBar::itemForKey(wchar_t key, HMENU menu) const {
  const int count = GetMenuItemCount(menu);
  for (int index = 0; index < count; ++index) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &info)) continue;
    const Entry* entry = entryOf(info.dwItemData);
    if (entry && sameLetter(accessKeyOf(entry->text), key)) return index;
  }
  return std::nullopt;
}

}  // namespace rendlow::ui
