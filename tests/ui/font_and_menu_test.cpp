// The window's font, chosen from those installed, and the menu bar the program draws in it.

#include <algorithm>
#include <cstdlib>

#include "ui/menu_bar.h"
#include "ui/ui_font.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

TEST(UiFont, TheFirstFaceWithLatinLettersInTheOrderOfPreference) {
  for (const auto& c : test::dataTable("ui_faces.tsv")) {
    ASSERT_EQ(c.size(), 4u);
    const std::vector<std::wstring> withoutLatin = test::split(c[2], L';');
    const auto hasLatin = [&](const std::wstring& face) {
      return std::find(withoutLatin.begin(), withoutLatin.end(), face) == withoutLatin.end();
    };
    EXPECT_EQ(chooseUiFace(test::split(c[1], L';'), hasLatin).value_or(L""), c[3]) << c[0];
  }
}

// The glyphs `text` lacks in `font`.
int missingGlyphs(HFONT font, const std::wstring& text) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(screen, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF}));
}

TEST(UiFont, TheWindowsFontIsAnInstalledJapaneseFaceThatDrawsEveryTextItShows) {
  const std::vector<std::wstring> faces = installedFontFaces(SHIFTJIS_CHARSET);
  if (faces.empty()) GTEST_SKIP() << "no font with the Japanese character set is installed";
  Shell shell;
  ASSERT_TRUE(shell.open(GetModuleHandleW(nullptr), SW_HIDE));
  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(shell.parent().font, sizeof(font), &font));
  EXPECT_NE(std::find(faces.begin(), faces.end(), std::wstring(font.lfFaceName)), faces.end()) << font.lfFaceName;
  EXPECT_TRUE(hasLatinLetters(font.lfFaceName)) << font.lfFaceName;
  for (const std::wstring text : {L"Midi&BMS出力", L"音声(&A)", L"ステムから切り出し(&C)...", L"Rendlow 0123456789",
                                  L"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ", L"はい いいえ キャンセル OK",
                                  L"設定が保存されていません。設定ファイルに保存しますか?"})
    EXPECT_EQ(missingGlyphs(shell.parent().font, text), 0) << font.lfFaceName;
}

// Where no Japanese face is listed yet, the window still draws its texts in a face that is there.
TEST(UiFont, TheFallbackFaceIsInstalled) {
  const std::vector<std::wstring> installed = installedFontFaces(DEFAULT_CHARSET);
  const std::wstring fallback = fallbackUiFace();
  EXPECT_NE(std::find(installed.begin(), installed.end(), fallback), installed.end()) << fallback;
}

TEST(UiFont, AFaceThatIsNotInstalledIsNotTakenForOneThatIs) {
  EXPECT_FALSE(hasLatinLetters(L"Rendlow No Such Face"));
}

// The menu bar on a hidden main window, spoken to as the system speaks to the window.
class MenuBarTest : public test::FormTest {
protected:
  HMENU bar() { return GetMenu(shell.window()); }
  HMENU sound() { return GetSubMenu(bar(), 0); }
  LRESULT menuChar(wchar_t key, HMENU menu) {
    return SendMessageW(shell.window(), WM_MENUCHAR, MAKEWPARAM(key, menu == bar() ? 0 : MF_POPUP),
                        reinterpret_cast<LPARAM>(menu));
  }
  ULONG_PTR itemData(HMENU menu, int index) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << index;
    return info.dwItemData;
  }
};

// The access keys of an item's text, and those the bar and the sound menu answer.
TEST_F(MenuBarTest, AccessKeysChooseTheirItemsWhateverTheCase) {
  for (const auto& c : test::dataTable("access_keys.tsv")) {
    ASSERT_EQ(c.size(), 3u);
    if (c[0] == L"text") {
      EXPECT_EQ(std::wstring(1, accessKeyOf(c[1])), c[2].empty() ? std::wstring(1, L'\0') : c[2]) << c[1];
      continue;
    }
    const LRESULT answer = menuChar(c[1][0], c[0] == L"bar" ? bar() : sound());
    EXPECT_EQ(HIWORD(answer) == MNC_EXECUTE ? std::to_wstring(LOWORD(answer)) : L"", c[2]) << c[0] << " " << c[1];
  }
}

// The pixels of an item drawn in a 32-bit bitmap as the system asks the window to draw it.
std::vector<COLORREF> drawnPixels(HWND window, ULONG_PTR itemData, UINT state, RECT rect) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), rect.right, -rect.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC context = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(context, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_MENU;
  item.itemState = state;
  item.hDC = context;
  item.rcItem = rect;
  item.itemData = itemData;
  SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  GdiFlush();
  std::vector<COLORREF> pixels;
  const auto* bgrx = static_cast<const DWORD*>(bits);
  for (int i = 0; i < rect.right * rect.bottom; ++i)
    pixels.push_back(RGB(GetBValue(bgrx[i]), GetGValue(bgrx[i]), GetRValue(bgrx[i])));
  SelectObject(context, previous);
  DeleteObject(bitmap);
  DeleteDC(context);
  return pixels;
}

int colourDistance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

TEST_F(MenuBarTest, AnItemShowsItsStateInTheSystemsMenuColours) {
  struct StateCase {
    const char* what;
    UINT state;
    int background;
    int text;
  };
  const std::vector<StateCase> cases{
      {"plain", 0, COLOR_MENU, COLOR_MENUTEXT},
      {"grayed", ODS_GRAYED, COLOR_MENU, COLOR_GRAYTEXT},
      {"opened", ODS_SELECTED, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT},
  };
  const RECT rect{0, 0, 80, 20};
  for (const StateCase& c : cases) {
    const std::vector<COLORREF> pixels = drawnPixels(shell.window(), itemData(bar(), 0), c.state, rect);
    const COLORREF background = GetSysColor(c.background);
    EXPECT_EQ(pixels.front(), background) << c.what;
    // Smoothed letters blend into the background at their edges: their cores are in the text's colour.
    EXPECT_EQ(*std::max_element(pixels.begin(), pixels.end(),
                                [background](COLORREF a, COLORREF b) {
                                  return colourDistance(a, background) < colourDistance(b, background);
                                }),
              GetSysColor(c.text))
        << c.what;
  }
}

}  // namespace
}  // namespace rendlow::ui
