#pragma once

#include <cstdint>
#include <string>

namespace rendlow::audio {

// The stream serial number every Ogg file we write carries. libsndfile draws a random serial
// for each file; a fixed one lets two runs write the same bytes.
constexpr uint32_t kOggSerialNumber = 0x524C4F57;  // "RLOW"

// Gives every page of an Ogg stream held in memory the serial number `serial` and the page
// checksum that goes with it. Stops at the first bytes that are not a whole page.
void setOggSerialNumber(std::string& bytes, uint32_t serial);

}  // namespace rendlow::audio
