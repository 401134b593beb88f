#pragma once

#include <initializer_list>
#include <memory>

namespace rendlow::audio {

// A shared library opened while the program runs. The synthesizer and the sound file library
// are opened only by jobs that make sound files: linked at start, they and the dozens of
// libraries they need would cost every job several milliseconds and megabytes, and most jobs
// make none. Once open, a library stays open until the process ends: FluidSynth leaves a thread
// behind after loading a SoundFont, which would run into unloaded code.
class SharedLibrary {
public:
  // The first of `names` that opens; nothing when none does.
  static std::unique_ptr<SharedLibrary> open(std::initializer_list<const char*> names);
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

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

}  // namespace rendlow::audio
