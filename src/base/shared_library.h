#pragma once

#include <initializer_list>

#include "base/result.h"

namespace rendlow {

// A shared library opened while the program runs: with dlopen, or LoadLibraryW on Windows. A
// library a job may do without (the synthesizer, the sound file library) is opened only by the
// jobs that need it: linked at start, it and the dozens of libraries it needs would cost every
// job several milliseconds and megabytes, and most jobs need none. Once open, a library stays
// open until the process ends: FluidSynth leaves a thread behind after loading a SoundFont,
// which would run into unloaded code. So the value is only a handle, and copies share it.
class SharedLibrary {
public:
  // The first of `names` that opens. The problem is the system's reason why the first of them,
  // the name the library is known by (the others are its fallbacks), did not.
  static Result<SharedLibrary> open(std::initializer_list<const char*> names);

  // Puts the function `name` into `into`, a pointer of its type; false when it is missing.
  template <class Function>
  bool bind(const char* name, Function& into) const {
    into = reinterpret_cast<Function>(address(name));
    return into != nullptr;
  }

private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* address(const char* name) const;

  void* handle_;
};

}  // namespace rendlow
