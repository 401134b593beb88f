#include "backends.h"

#include <gtest/gtest.h>

namespace rendlow::audio::test {

std::vector<const AudioBackend*> backendsInBuild() {
  std::vector<const AudioBackend*> backends{&builtinBackend()};
  if (sndfileBackend()) backends.push_back(sndfileBackend());
  return backends;
}

std::string backendName(const testing::TestParamInfo<const AudioBackend*>& info) {
  return info.param == &builtinBackend() ? "Builtin" : "Libsndfile";
}

}  // namespace rendlow::audio::test
