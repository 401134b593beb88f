// The spectra's fast log against the library's, over the range of level ratios a frame can
// have and close around the points where its reduction changes course.

#include <gtest/gtest.h>

#include <cmath>

#include "audio/fidelity/natural_log.h"

namespace rendlow::audio {
namespace {

TEST(NaturalLog, AgreesWithTheLibraryToAFloatsPrecision) {
  // From 1e-30 to 1e30 by steps of about 0.3%, then near 1 (where the log is smallest, so that
  // its error must be too) and on either side of √2 and of the powers of two.
  std::vector<float> points;
  for (double x = 1e-30; x < 1e30; x *= 1.003) points.push_back(static_cast<float>(x));
  for (int i = -1000; i <= 1000; ++i) points.push_back(1 + static_cast<float>(i) * 1e-6f);
  for (const float edge : {1.41421356f, 0.70710678f, 2.0f, 0.5f, 1024.0f}) {
    for (float x = edge, y = edge, i = 0; i < 8; ++i) {
      points.push_back(x = std::nextafter(x, 0.0f));
      points.push_back(y = std::nextafter(y, 1e30f));
    }
  }
  for (const float x : points) {
    const double exact = std::log(static_cast<double>(x));
    EXPECT_NEAR(naturalLogOfNormal(x), exact, 2e-7 * std::fabs(exact)) << x;
  }
}

}  // namespace
}  // namespace rendlow::audio
