#pragma once

#include <sndfile.h>

namespace rendlow::audio {

// The libsndfile functions the sound file backend calls, from the library opened on first use
// (see SharedLibrary).
struct SndfileLibrary {
  decltype(&sf_open_virtual) openVirtual;
  decltype(&sf_close) close;
  decltype(&sf_readf_float) readFloat;
  decltype(&sf_writef_float) writeFloat;
  decltype(&sf_strerror) errorText;
};

// The library, opened once; null when it is not installed or lacks a function.
const SndfileLibrary* sndfileLibrary();

}  // namespace rendlow::audio
