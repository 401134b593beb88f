#include "base/iconv_conversion.h"

#include <cerrno>

namespace rendlow {

IconvConversion::IconvConversion(const std::string& to, const std::string& from)
    : handle_(iconv_open(to.c_str(), from.c_str())) {}

IconvConversion::~IconvConversion() {
  if (opened()) iconv_close(handle_);
}

bool IconvConversion::opened() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

bool IconvConversion::convert(std::string_view& in, std::string& out) {
  if (!opened()) return false;
  char* input = const_cast<char*>(in.data());  // iconv's signature; it reads only
  std::size_t inputLeft = in.size();
  bool stopped = false;
  while (inputLeft > 0 && !stopped) {
    char buffer[512];
    char* output = buffer;
    std::size_t outputLeft = sizeof buffer;
    stopped = iconv(handle_, &input, &inputLeft, &output, &outputLeft) == static_cast<std::size_t>(-1) &&
              errno != E2BIG;
    out.append(buffer, static_cast<std::size_t>(output - buffer));
  }
  in = std::string_view(input, inputLeft);
  return !stopped;
}

std::pair<char32_t, std::size_t> IconvConversion::firstCodePoint(std::string_view in) {
  unsigned char point[4] = {};
  char* input = const_cast<char*>(in.data());
  std::size_t inputLeft = in.size();
  char* output = reinterpret_cast<char*>(point);
  std::size_t outputLeft = sizeof point;
  if (opened()) iconv(handle_, &input, &inputLeft, &output, &outputLeft);
  if (outputLeft != 0) return {0, 0};
  return {static_cast<char32_t>(point[0] << 24 | point[1] << 16 | point[2] << 8 | point[3]), in.size() - inputLeft};
}

}  // namespace rendlow
