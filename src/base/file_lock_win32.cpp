#include <windows.h>

#include <cerrno>
#include <string>

#include "base/file_lock.h"
#include "base/platform.h"

namespace rendlow {

namespace {

std::string contentsOf(HANDLE file) {
  char buffer[64];
  DWORD got = 0;
  if (ReadFile(file, buffer, sizeof buffer, &got, nullptr) == 0) return {};
  return std::string(buffer, got);
}

// Another run holds the file open: what it wrote can still be read, shared as it shares it.
std::string holderOf(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  const std::string contents = contentsOf(file);
  CloseHandle(file);
  return holderIn(contents);
}

}  // namespace

void FileLock::release() {
  if (handle_ == -1) return;
  // The file was opened to be deleted on closing: the system removes it, even after a crash.
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}

LockAttempt tryLockFile(const std::string& path) {
  // Shared for reading only, so a second run's open fails while this one lives.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return LockAttempt::heldBy(holderOf(path));
    return LockAttempt::failed(error == ERROR_ACCESS_DENIED ? EACCES : ENOENT);
  }
  const std::string found = GetLastError() == ERROR_ALREADY_EXISTS ? contentsOf(file) : std::string();
  const std::string number = std::to_string(processId()) + "\n";
  DWORD written = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  WriteFile(file, number.data(), static_cast<DWORD>(number.size()), &written, nullptr);
  return LockAttempt::taken(FileLock(path, reinterpret_cast<std::intptr_t>(file), found));
}

}  // namespace rendlow
