#include "audio/sndfile_library.h"

#include <memory>

#include "audio/shared_library.h"

namespace rendlow::audio {

namespace {

template <class Function>
bool take(const SharedLibrary& library, const char* name, Function& into) {
  into = library.function<Function>(name);
  return into != nullptr;
}

std::unique_ptr<SndfileLibrary> load() {
  static const std::unique_ptr<SharedLibrary> library = SharedLibrary::open({"libsndfile.so.1", "libsndfile.so"});
  if (!library) return nullptr;
  auto f = std::make_unique<SndfileLibrary>();
  const SharedLibrary& l = *library;
  const bool complete = take(l, "sf_open_virtual", f->openVirtual) && take(l, "sf_close", f->close) &&
                        take(l, "sf_readf_float", f->readFloat) && take(l, "sf_writef_float", f->writeFloat) &&
                        take(l, "sf_writef_short", f->writeShort) && take(l, "sf_strerror", f->errorText);
  return complete ? std::move(f) : nullptr;
}

}  // namespace

const SndfileLibrary* sndfileLibrary() {
  static const std::unique_ptr<SndfileLibrary> library = load();
  return library.get();
}

}  // namespace rendlow::audio
