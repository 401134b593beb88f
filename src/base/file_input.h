#pragma once

// Opening and reading files, with the reasons for a failure worded by the caller: the MIDI
// reader, the settings file and the sound files each say in their own words why a file could
// not be read.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"

namespace rendlow {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file open for reading; closed when it goes.
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// How a caller words why a file could not be read.
struct ReadReasons {
  // Opening or reading failed; the argument is the errno value of the call that failed.
  Message (*failed)(int errorNumber) = nullptr;
  // The path names a folder. A folder opens as a file on some systems and only fails when read,
  // so with this set a folder is refused before it is opened; without it, a folder is opened like
  // a file and the system's error says what went wrong.
  Message (*folder)() = nullptr;
};

// Opens `path` for reading in binary mode, so that files read alike on every platform.
Result<InputFile> openForReading(const std::string& path, const ReadReasons& reasons);

// The whole file in memory, as std::string or std::vector<uint8_t>.
template <class Bytes>
Result<Bytes> readWholeFile(const std::string& path, const ReadReasons& reasons);

// True when the file can be opened for reading.
bool fileExists(const std::string& path);

// The names of the plain files in a folder, sorted. The problem is `failed` of the errno value
// that says why the folder could not be listed.
Result<std::vector<std::string>> fileNamesIn(const std::string& folder, Message (*failed)(int errorNumber));

}  // namespace rendlow
