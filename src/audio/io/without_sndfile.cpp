#include "audio/io/audio_backend.h"

namespace rendlow::audio {

// This build has no libsndfile: the builtin backend is the only one.
const AudioBackend* sndfileBackend() { return nullptr; }

}  // namespace rendlow::audio
