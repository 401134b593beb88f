// What the engine needs of Windows besides its texts and shared libraries: the code page's
// lead-byte test, the path separator, the atomic replacement of a file, links, what stands at an
// output's path and the identity of a file, through the ANSI calls so paths stay in the system code
// page; opening files and listing folders through the wide calls, with names crossing between
// UTF-16 and code page 932 here, so a folder's Japanese names read alike whatever the system's
// code page.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/path_names.h"

namespace rendlow {

// The program's texts are code page 932 whatever the system's own code page is.
bool isLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(932, byte) != 0; }

char pathSeparator() { return '\\'; }

namespace {

// The C library's number for the error of the last call, so the caller's message can say why.
int errnoOfLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    default:
      return EIO;
  }
}

// A handle to ask about a file, following links: no access asked, only the attributes; folders
// open too with the backup flag.
HANDLE openForQuery(const std::string& path) {
  return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The volume and the index of the file within it: together they name one file, whatever the
// spelling of the path that led to it.
struct FileIdentity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
};

std::optional<FileIdentity> identityOf(const std::string& path) {
  const HANDLE file = openForQuery(path);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// A path as the system gives it back in full ("\\?\C:\..." or "\\?\UNC\server\..."), in the
// ordinary spelling the ANSI calls and the C library take.
std::string withoutLongPrefix(const std::string& path) {
  const std::string unc = "\\\\?\\UNC\\";
  const std::string local = "\\\\?\\";
  if (path.rfind(unc, 0) == 0) return "\\\\" + path.substr(unc.size());
  if (path.rfind(local, 0) == 0) return path.substr(local.size());
  return path;
}

// The program's texts are code page 932 whatever the system's; the wide calls take UTF-16.
constexpr UINT kProgramCodePage = 932;

std::wstring wideText(const std::string& text) {
  const int length =
      MultiByteToWideChar(kProgramCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// A name the system gave in UTF-16, in the program's texts; in the system code page when 932
// cannot hold it, as the ANSI calls would have given it.
std::string programText(const std::wstring& wide) {
  BOOL lost = FALSE;
  const auto convert = [&](UINT codePage, BOOL* lostFlag) {
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, lostFlag);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, lostFlag);
    return text;
  };
  std::string text = convert(kProgramCodePage, &lost);
  return lost ? convert(CP_ACP, nullptr) : text;
}

// A path of the program's texts as the wide calls take it. One of MAX_PATH characters or more
// gets the "\\?\" prefix, in full, as only then do the calls reach it: the C library can make a
// file at such a path that the ANSI calls cannot name.
std::wstring widePath(const std::string& path) {
  const std::wstring wide = wideText(path);
  if (wide.size() < MAX_PATH) return wide;
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
  if (full.rfind(L"\\\\", 0) == 0) return full.rfind(L"\\\\?\\", 0) == 0 ? full : L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace

bool removeFile(const std::string& path) { return DeleteFileW(widePath(path).c_str()) != 0; }

bool systemTakesFileName(std::string_view name) { return isSafeFileName(name); }

std::string linkTarget(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
  // Opening follows the links; the handle then knows the final file's path.
  const HANDLE file = openForQuery(path);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::vector<char> final(MAX_PATH + 1);
  DWORD length = GetFinalPathNameByHandleA(file, final.data(), static_cast<DWORD>(final.size()), 0);
  if (length >= final.size()) {
    final.resize(length + 1);
    length = GetFinalPathNameByHandleA(file, final.data(), static_cast<DWORD>(final.size()), 0);
  }
  CloseHandle(file);
  if (length == 0 || length >= final.size()) return path;
  return withoutLongPrefix(std::string(final.data(), length));
}

OutputSpot outputSpot(const std::string& path) {
  // Opened rather than asked for its attributes, so a device ("NUL", "CON") shows as one.
  const HANDLE file = openForQuery(path);
  if (file == INVALID_HANDLE_VALUE) return OutputSpot::Free;
  const bool onDisk = GetFileType(file) == FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!onDisk || !known || (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
    return OutputSpot::NotAFile;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? OutputSpot::ReadOnlyFile
                                                                : OutputSpot::WritableFile;
}

// A folder's read-only attribute only marks it for the shell; it does not stop files being made.
bool folderReadOnly(const std::string&) { return false; }

// The ANSI calls take the program's texts as they are: the code page is 932.
std::string systemPath(const std::string& path) { return path; }

std::string programPath(const std::string& systemName) { return systemName; }

std::FILE* openFile(const std::string& path, const char* mode) {
  return _wfopen(widePath(path).c_str(), wideText(mode).c_str());
}

std::optional<std::vector<std::string>> regularFilesIn(const std::string& folder, int& errorNumber) {
  const bool endsInSeparator = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
  const std::string pattern = folder.empty() ? "*" : folder + (endsInSeparator ? "*" : "\\*");
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(widePath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    errorNumber = errnoOfLastError();
    return std::nullopt;
  }
  std::vector<std::string> names;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0)
      names.push_back(programText(found.cFileName));
  } while (FindNextFileW(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  if (!complete) errorNumber = errnoOfLastError();
  FindClose(search);
  if (!complete) return std::nullopt;
  return names;
}

bool addFileName(const std::string& existing, const std::string& name) {
  if (CreateHardLinkA(name.c_str(), existing.c_str(), nullptr) != 0) return true;
  errno = errnoOfLastError();
  return false;
}

void copyFileMode(const std::string&, const std::string&) {}

unsigned long processId() { return GetCurrentProcessId(); }

std::string programFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return {};
  const std::string program(path, length);
  const std::size_t separator = program.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : program.substr(0, separator);
}

bool replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
    return true;
  errno = errnoOfLastError();
  return false;
}

bool sameFile(const std::string& a, const std::string& b) {
  const auto first = identityOf(a);
  const auto second = identityOf(b);
  return first && second && first->volume == second->volume && first->high == second->high &&
         first->low == second->low;
}

std::string absolutePath(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<char> full(needed);
  const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  return length == 0 || length >= needed ? path : std::string(full.data(), length);
}

bool sameSpelling(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string utf8FromProgramText(std::string_view text) {
  // Character by character, so that a byte starting no character of code page 932 becomes U+FFFD
  // here as it does on other systems, not whatever stand-in Windows would choose.
  std::wstring wide;
  while (!text.empty()) {
    const std::size_t length = text.size() >= 2 && isLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1;
    wchar_t character[2] = {};
    const int made = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(length), character, 2);
    if (made > 0) {
      wide.append(character, static_cast<std::size_t>(made));
      text.remove_prefix(length);
    } else {
      wide += L'\xFFFD';
      text.remove_prefix(1);
    }
  }
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::optional<std::string> programTextFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const int utf8Length = static_cast<int>(utf8.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8Length, nullptr, 0);
  if (wideLength <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8Length, wide.data(), wideLength);
  // No stand-in: a character 932 lacks must not turn silently into another one.
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0,
                                         nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, text.data(), length, nullptr,
                      nullptr);
  return text;
}

// The Windows heap gives large blocks back as they are freed.
void returnFreedMemory() {}

}  // namespace rendlow
