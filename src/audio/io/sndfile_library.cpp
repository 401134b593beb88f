#include "audio/io/sndfile_library.h"

#include <memory>

#include "audio/io/shared_library.h"

namespace rendlow::audio {

namespace {

std::unique_ptr<SndfileLibrary> load() {
  static const std::unique_ptr<SharedLibrary> library =
      SharedLibrary::open({"libsndfile.so.1", "libsndfile.so"});
  if (!library) return nullptr;
  auto f = std::make_unique<SndfileLibrary>();
  const SharedLibrary& l = *library;
  const bool complete = l.bind("sf_open_virtual", f->openVirtual) && l.bind("sf_close", f->close) &&
                        l.bind("sf_readf_float", f->readFloat) && l.bind("sf_writef_float", f->writeFloat) &&
                        l.bind("sf_strerror", f->errorText);
  return complete ? std::move(f) : nullptr;
}

}  // namespace

const SndfileLibrary* sndfileLibrary() {
  static const std::unique_ptr<SndfileLibrary> library = load();
  return library.get();
}

}  // namespace rendlow::audio
