// Shared libraries on Windows: opened through the wide call, so a name reads alike whatever the
// system's code page; the reason a library did not open in the program's texts.
#include <windows.h>

#include <string>

#include "base/shared_library.h"

namespace rendlow {

namespace {

// The program's texts are code page 932 whatever the system's; the wide calls take UTF-16.
constexpr UINT kProgramCodePage = 932;

std::wstring wideText(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string programText(const std::wstring& wide) {
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

// The system's text for the error of the last call, without the line break it ends in; its
// number where the system has no text for it.
std::string lastErrorText() {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide(text ? text : L"", length);
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
    wide.pop_back();
  return wide.empty() ? "error " + std::to_string(error) : programText(wide);
}

}  // namespace

Result<SharedLibrary> SharedLibrary::open(std::initializer_list<const char*> names) {
  std::string reason;
  for (const char* name : names) {
    if (const HMODULE module = LoadLibraryW(wideText(name).c_str())) return SharedLibrary(module);
    // As the portable loader's reason does, it names the file.
    if (reason.empty()) reason = std::string(name) + ": " + lastErrorText();
  }
  return Problem{Message::verbatim(reason)};
}

void* SharedLibrary::address(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace rendlow
