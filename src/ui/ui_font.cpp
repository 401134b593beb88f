#include "ui/ui_font.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace rendlow::ui {

namespace {

constexpr int kFontHeight = 12;
// The UI fonts of the Japanese Windows, newest first: where one is there, the window looks as
// the Japanese Windows' own programs do.
constexpr std::array<std::wstring_view, 3> kJapaneseUiFaces{L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};

bool startsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Lower is better. The Japanese UI fonts by name; then the free pan-CJK sans serif families,
// those drawn in the Japanese glyph forms first, then the other Noto families; then the rest.
std::size_t preference(std::wstring_view face) {
  const auto uiFace = std::find(kJapaneseUiFaces.begin(), kJapaneseUiFaces.end(), face);
  if (uiFace != kJapaneseUiFaces.end()) return static_cast<std::size_t>(uiFace - kJapaneseUiFaces.begin());
  std::size_t rank = kJapaneseUiFaces.size();
  const bool cjkSans = startsWith(face, L"Noto Sans") || startsWith(face, L"Source Han Sans");
  if (cjkSans && face.find(L"JP") != std::wstring_view::npos) return rank;
  if (cjkSans) return rank + 1;
  if (startsWith(face, L"Noto")) return rank + 2;
  return rank + 3;
}

LOGFONTW uiLogFont(std::wstring_view face) {
  LOGFONTW font{};
  font.lfHeight = kFontHeight;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  face.substr(0, LF_FACESIZE - 1).copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

int CALLBACK collectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
  auto& list = *reinterpret_cast<std::vector<std::wstring>*>(faces);
  const std::wstring face = font->lfFaceName;
  // A face named with "@" is the same family set for vertical writing.
  if (!face.empty() && face.front() != L'@' && std::find(list.begin(), list.end(), face) == list.end())
    list.push_back(face);
  return 1;
}

}  // namespace

std::optional<std::wstring> chooseUiFace(const std::vector<std::wstring>& faces,
                                         const std::function<bool(const std::wstring&)>& hasLatinLetters) {
  std::vector<std::wstring> ordered = faces;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const std::wstring& a, const std::wstring& b) { return preference(a) < preference(b); });
  // Only as many faces are opened as it takes to find one with Latin letters.
  const auto chosen = std::find_if(ordered.begin(), ordered.end(), hasLatinLetters);
  if (chosen == ordered.end()) return std::nullopt;
  return *chosen;
}

std::vector<std::wstring> installedFontFaces(BYTE charSet) {
  std::vector<std::wstring> faces;
  const HDC screen = GetDC(nullptr);
  LOGFONTW wanted{};
  wanted.lfCharSet = charSet;
  EnumFontFamiliesExW(screen, &wanted, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, screen);
  return faces;
}

bool hasLatinLetters(const std::wstring& face) {
  const LOGFONTW wanted = uiLogFont(face);
  const HFONT font = CreateFontIndirectW(&wanted);
  if (!font) return false;
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  // The system may stand another face in for the one asked for; only the face itself counts.
  std::array<wchar_t, LF_FACESIZE> selected{};
  GetTextFaceW(screen, static_cast<int>(selected.size()), selected.data());
  constexpr std::wstring_view kLetters = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::array<WORD, kLetters.size()> glyphs{};
  const DWORD found = GetGlyphIndicesW(screen, kLetters.data(), static_cast<int>(kLetters.size()), glyphs.data(),
                                       GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return face == selected.data() && found == kLetters.size() &&
         std::none_of(glyphs.begin(), glyphs.end(), [](WORD glyph) { return glyph == 0xFFFF; });
}

// The message font is named by a name the system maps (Wine's is "MS Shell Dlg"): the face it
// maps to is the one that draws.
std::wstring fallbackUiFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
  const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  if (!font) return {};
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  std::array<wchar_t, LF_FACESIZE> face{};
  GetTextFaceW(screen, static_cast<int>(face.size()), face.data());
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return face.data();
}

HFONT createUiFont() {
  const std::optional<std::wstring> face = chooseUiFace(installedFontFaces(SHIFTJIS_CHARSET), hasLatinLetters);
  LOGFONTW wanted = uiLogFont(face ? *face : fallbackUiFace());
  // The fallback face may not hold the Japanese character set; asked for in its own, it is the
  // face itself that draws, with the system's linked fonts for the characters it lacks.
  if (!face) wanted.lfCharSet = DEFAULT_CHARSET;
  return CreateFontIndirectW(&wanted);
}

}  // namespace rendlow::ui
