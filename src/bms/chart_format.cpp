#include "bms/chart_format.h"

#include <cctype>
#include <cstdio>

namespace rendlow {

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

int32_t digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const int upper = std::toupper(static_cast<unsigned char>(c));
  return upper >= 'A' && upper <= 'Z' ? upper - 'A' + 10 : -1;
}

}  // namespace

std::string toBase36(int32_t value) {
  std::string digits;
  uint32_t rest = value < 0 ? 0u : static_cast<uint32_t>(value);
  do {
    digits.insert(digits.begin(), kDigits[rest % 36]);
    rest /= 36;
  } while (rest > 0);
  if (digits.size() < 2) digits.insert(digits.begin(), '0');
  return digits;
}

int32_t base36Id(std::string_view id) {
  if (id.size() != 2) return -1;
  const int32_t high = digitValue(id[0]);
  const int32_t low = digitValue(id[1]);
  return high < 0 || low < 0 ? -1 : high * 36 + low;
}

std::string wavDefinitionLine(int32_t id, std::string_view fileName) {
  return std::string(kWavCommand) + toBase36(id) + " " + std::string(fileName) + "\n";
}

std::string channelLineStart(int32_t measure, int channel) {
  char start[32];
  const int n = std::snprintf(start, sizeof start, "#%03d%02d:", measure, channel);
  return std::string(start, static_cast<std::size_t>(n));
}

}  // namespace rendlow
