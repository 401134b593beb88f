#include "audio/io/sndfile_memory.h"

#include <algorithm>
#include <cstring>

namespace rendlow::audio {

namespace {

MemoryFile& fileOf(void* user) { return *static_cast<MemoryFile*>(user); }

sf_count_t lengthOf(void* user) { return static_cast<sf_count_t>(fileOf(user).bytes.size()); }

sf_count_t seekTo(sf_count_t offset, int whence, void* user) {
  MemoryFile& file = fileOf(user);
  const sf_count_t base = whence == SEEK_CUR ? file.position : (whence == SEEK_END ? lengthOf(user) : 0);
  if (base + offset < 0) return -1;
  file.position = base + offset;
  return file.position;
}

sf_count_t readInto(void* destination, sf_count_t count, void* user) {
  MemoryFile& file = fileOf(user);
  const sf_count_t left = std::max<sf_count_t>(0, lengthOf(user) - file.position);
  const sf_count_t taken = std::min(count, left);
  if (taken > 0) std::memcpy(destination, file.bytes.data() + file.position, static_cast<std::size_t>(taken));
  file.position += taken;
  return taken;
}

sf_count_t writeFrom(const void* source, sf_count_t count, void* user) {
  MemoryFile& file = fileOf(user);
  const auto end = static_cast<std::size_t>(file.position + count);
  if (end > file.bytes.size()) file.bytes.resize(end);
  std::memcpy(file.bytes.data() + file.position, source, static_cast<std::size_t>(count));
  file.position += count;
  return count;
}

sf_count_t tellOf(void* user) { return fileOf(user).position; }

}  // namespace

SF_VIRTUAL_IO& memoryFileIo() {
  static SF_VIRTUAL_IO io{lengthOf, seekTo, readInto, writeFrom, tellOf};
  return io;
}

}  // namespace rendlow::audio
