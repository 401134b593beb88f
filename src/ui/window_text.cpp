#include "ui/window_text.h"

#include "ui/win32.h"

namespace rendlow::ui {

namespace {

constexpr UINT kEngineCodePage = 932;

}  // namespace

std::wstring toWindowText(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(kEngineCodePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kEngineCodePage, 0, bytes.data(), size, text.data(), length);
  return text;
}

std::optional<std::string> toEngineText(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL usedDefaultChar = FALSE;
  const int length = WideCharToMultiByte(kEngineCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                         nullptr, &usedDefaultChar);
  if (length <= 0 || usedDefaultChar) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kEngineCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length, nullptr,
                      nullptr);
  return bytes;
}

bool systemReadsAlike(std::string_view bytes, std::wstring_view text) {
  if (GetACP() == kEngineCodePage) return true;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length != static_cast<int>(text.size())) return bytes.empty() && text.empty();
  std::wstring read(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, read.data(), length);
  return read == text;
}

}  // namespace rendlow::ui
