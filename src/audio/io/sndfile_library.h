#pragma once

#include <sndfile.h>

#include <string>

namespace rendlow::audio {

// The libsndfile functions the sound file backend calls, from the library opened on first use
// (see SharedLibrary).
struct SndfileLibrary {
  decltype(&sf_open_virtual) openVirtual;
  decltype(&sf_close) close;
  decltype(&sf_readf_float) readFloat;
  decltype(&sf_writef_float) writeFloat;
  decltype(&sf_strerror) errorText;
};

// The library, opened once; null when it is not installed or lacks a function.
const SndfileLibrary* sndfileLibrary();

// A file in memory that libsndfile reads or writes through its virtual I/O, so that a written
// file can go to disk in one atomic step and a read one was read by our own, checked code.
struct MemoryFile {
  std::string bytes;
  sf_count_t position = 0;
};

// The callbacks; each takes the MemoryFile as its user data.
SF_VIRTUAL_IO& memoryFileIo();

}  // namespace rendlow::audio
