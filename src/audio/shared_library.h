#pragma once

#include <initializer_list>
#include <memory>

namespace rendlow::audio {

// A shared library opened while the program runs. The synthesizer and the sound file library
// are opened only by jobs that make sound files: linked at start, they and the dozens of
// libraries they need would cost every job several milliseconds and megabytes, and most jobs
// make none.
class SharedLibrary {
public:
  // The first of `names` that opens; nothing when none does.
  static std::unique_ptr<SharedLibrary> open(std::initializer_list<const char*> names);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The function `name` as a pointer of the type `Function` names; null when it is missing.
  template <class Function>
  Function function(const char* name) const {
    return reinterpret_cast<Function>(address(name));
  }

private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* address(const char* name) const;

  void* handle_;
};

}  // namespace rendlow::audio
