#include "base/sha256.h"

#include <array>
#include <cstdint>

namespace rendlow {

namespace {

constexpr std::array<uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

using State = std::array<uint32_t, 8>;

constexpr State kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr uint32_t rotateRight(uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

void compressBlock(State& state, const unsigned char* block) {
  std::array<uint32_t, 64> words{};
  for (std::size_t i = 0; i < 16; ++i) {
    words[i] = uint32_t{block[4 * i]} << 24 | uint32_t{block[4 * i + 1]} << 16 | uint32_t{block[4 * i + 2]} << 8 |
               uint32_t{block[4 * i + 3]};
  }
  for (std::size_t i = 16; i < 64; ++i) {
    const uint32_t s0 = rotateRight(words[i - 15], 7) ^ rotateRight(words[i - 15], 18) ^ (words[i - 15] >> 3);
    const uint32_t s1 = rotateRight(words[i - 2], 17) ^ rotateRight(words[i - 2], 19) ^ (words[i - 2] >> 10);
    words[i] = words[i - 16] + s0 + words[i - 7] + s1;
  }
  State v = state;
  for (std::size_t i = 0; i < 64; ++i) {
    const uint32_t s1 = rotateRight(v[4], 6) ^ rotateRight(v[4], 11) ^ rotateRight(v[4], 25);
    const uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const uint32_t t1 = v[7] + s1 + choice + kRoundConstants[i] + words[i];
    const uint32_t s0 = rotateRight(v[0], 2) ^ rotateRight(v[0], 13) ^ rotateRight(v[0], 22);
    const uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
  }
  for (std::size_t i = 0; i < 8; ++i) state[i] += v[i];
}

// The message's last bytes, the 0x80 marker and the length in bits: one block or two.
std::string finalBlocks(std::string_view tail, uint64_t totalBytes) {
  std::string blocks(tail);
  blocks += static_cast<char>(0x80);
  while (blocks.size() % 64 != 56) blocks += '\0';
  const uint64_t bits = totalBytes * 8;
  for (int shift = 56; shift >= 0; shift -= 8) blocks += static_cast<char>((bits >> shift) & 0xff);
  return blocks;
}

}  // namespace

std::string sha256Hex(std::string_view bytes) {
  State state = kInitialState;
  const std::size_t whole = bytes.size() / 64 * 64;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t offset = 0; offset < whole; offset += 64) compressBlock(state, data + offset);
  const std::string last = finalBlocks(bytes.substr(whole), bytes.size());
  for (std::size_t offset = 0; offset < last.size(); offset += 64)
    compressBlock(state, reinterpret_cast<const unsigned char*>(last.data()) + offset);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const uint32_t word : state) {
    for (int shift = 28; shift >= 0; shift -= 4) hex += kDigits[(word >> shift) & 0xf];
  }
  return hex;
}

}  // namespace rendlow
