#include <dlfcn.h>

#include <string>

#include "base/shared_library.h"

namespace rendlow {

Result<SharedLibrary> SharedLibrary::open(std::initializer_list<const char*> names) {
  std::string reason;
  for (const char* name : names) {
    if (void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL)) return SharedLibrary(handle);
    // The system's text names the file and says why it did not open.
    const char* text = dlerror();
    if (reason.empty() && text) reason = text;
  }
  return Problem{Message::verbatim(reason)};
}

void* SharedLibrary::address(const char* name) const { return dlsym(handle_, name); }

}  // namespace rendlow
