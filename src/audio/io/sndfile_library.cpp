#include "audio/io/sndfile_library.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/shared_library.h"

namespace rendlow::audio {

namespace {

std::unique_ptr<SndfileLibrary> load() {
  static const Result<SharedLibrary> library = SharedLibrary::open({"libsndfile.so.1", "libsndfile.so"});
  if (!library) return nullptr;
  auto f = std::make_unique<SndfileLibrary>();
  const SharedLibrary& l = *library;
  const bool complete = l.bind("sf_open_virtual", f->openVirtual) && l.bind("sf_close", f->close) &&
                        l.bind("sf_readf_float", f->readFloat) && l.bind("sf_writef_float", f->writeFloat) &&
                        l.bind("sf_strerror", f->errorText);
  return complete ? std::move(f) : nullptr;
}

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

const SndfileLibrary* sndfileLibrary() {
  static const std::unique_ptr<SndfileLibrary> library = load();
  return library.get();
}

SF_VIRTUAL_IO& memoryFileIo() {
  static SF_VIRTUAL_IO io{lengthOf, seekTo, readInto, writeFrom, tellOf};
  return io;
}

}  // namespace rendlow::audio
