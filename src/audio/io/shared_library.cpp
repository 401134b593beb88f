#include "audio/io/shared_library.h"

#include <dlfcn.h>

namespace rendlow::audio {

std::unique_ptr<SharedLibrary> SharedLibrary::open(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL))
      return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
  }
  return nullptr;
}

void* SharedLibrary::address(const char* name) const { return dlsym(handle_, name); }

}  // namespace rendlow::audio
