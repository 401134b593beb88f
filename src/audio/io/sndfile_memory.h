#pragma once

#include <sndfile.h>

#include <string>

namespace rendlow::audio {

// A file in memory that libsndfile reads or writes through its virtual I/O, so that a written
// file can go to disk in one atomic step and a read one was read by our own, checked code.
struct MemoryFile {
  std::string bytes;
  sf_count_t position = 0;
};

// The callbacks; each takes the MemoryFile as its user data.
SF_VIRTUAL_IO& memoryFileIo();

}  // namespace rendlow::audio
