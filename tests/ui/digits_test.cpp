// A number box as an author with a Japanese IME types into it: full-width digits are digits.

#include "ui_test_support.h"

namespace rendlow::ui::test {
namespace {

constexpr int kVelocityColumn = 2;

TEST_F(FormTest, ANumberBoxTakesFullWidthDigitsTypedOrPasted) {
  drop(ids::kTrackTable, writeSong());
  select({0});
  const HWND typed = item(field("noteInterval"));
  SetWindowTextW(typed, L"");
  for (const wchar_t c : std::wstring(L"\uFF14\uFF18\uFF10")) SendMessageW(typed, WM_CHAR, c, 0);
  EXPECT_EQ(textOf(typed), L"480");
  type(field("velocitySplitWidth"), L"\uFF18");
  select({1});
  EXPECT_EQ(cell(0, kVelocityColumn), L"8");
}

}  // namespace
}  // namespace rendlow::ui::test
