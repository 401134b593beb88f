#include <langinfo.h>

#include <algorithm>

#include "base/format.h"
#include "base/iconv_conversion.h"
#include "base/system_text.h"

namespace rendlow {

namespace {

constexpr const char* kProgramEncoding = "CP932";

// The locale's encoding as iconv names it. setlocale(LC_ALL, "") decides it; a program that never
// called it, like one run without LANG, is in plain ASCII, which is read as UTF-8.
std::string systemEncoding() {
  const std::string codeset = nl_langinfo(CODESET);
  const bool ascii =
      codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII" || codeset == "US-ASCII";
  return ascii ? "UTF-8" : codeset;
}

// Both encodings agree on ASCII, which most texts are: those need no conversion at all.
bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::string> convertedWhole(std::string_view text, const std::string& to,
                                          const std::string& from) {
  if (isAscii(text)) return std::string(text);
  IconvConversion converter(to, from);
  std::string out;
  if (!converter.convert(text, out)) return std::nullopt;
  return out;
}

std::string byteEscape(char byte) {
  std::string escape;
  appendFormatted(escape, "\\x%02X", static_cast<unsigned char>(byte));
  return escape;
}

// Converts all of `text`; where the conversion stops, `mark(rest, out)` writes what stands for
// the piece it cannot convert and says how many bytes that piece holds (one at least).
template <class Mark>
std::string convertedMarking(std::string_view text, const std::string& to, const std::string& from,
                             Mark mark) {
  if (isAscii(text)) return std::string(text);
  IconvConversion converter(to, from);
  std::string out;
  while (!converter.convert(text, out)) text.remove_prefix(std::max<std::size_t>(1, mark(text, out)));
  return out;
}

}  // namespace

std::optional<std::string> toSystemText(std::string_view programText) {
  return convertedWhole(programText, systemEncoding(), kProgramEncoding);
}

std::optional<std::string> toProgramText(std::string_view systemText) {
  return convertedWhole(systemText, kProgramEncoding, systemEncoding());
}

std::string printableText(std::string_view programText) {
  return convertedMarking(programText, systemEncoding(), kProgramEncoding,
                          [](std::string_view rest, std::string& out) {
                            out += byteEscape(rest.front());
                            return std::size_t{1};
                          });
}

std::string describedInProgramText(std::string_view systemText) {
  const std::string encoding = systemEncoding();
  return convertedMarking(systemText, kProgramEncoding, encoding,
                          [&](std::string_view rest, std::string& out) {
                            const auto [point, length] = IconvConversion("UTF-32BE", encoding).firstCodePoint(rest);
                            if (length == 0) {
                              out += byteEscape(rest.front());
                              return std::size_t{1};
                            }
                            appendFormatted(out, "<U+%04X>", static_cast<unsigned>(point));
                            return length;
                          });
}

}  // namespace rendlow
