#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/audio_backend.h"

namespace rendlow::audio::test {

// Every backend of this build, for suites that must hold for each.
std::vector<const AudioBackend*> backendsInBuild();
std::string backendName(const testing::TestParamInfo<const AudioBackend*>& info);

}  // namespace rendlow::audio::test
