#include "audio/io/wav_format.h"

#include <optional>

#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

constexpr uint16_t kPcmTag = 1;
constexpr uint16_t kFloatTag = 3;
constexpr uint16_t kExtensibleTag = 0xFFFE;
constexpr int64_t kPlainFormatSize = 16;
constexpr int64_t kExtensibleFormatSize = 40;
// The sub-format GUID of WAVE_FORMAT_EXTENSIBLE after its first two bytes, which hold the
// plain format tag: {XXXX0000-0000-0010-8000-00AA00389B71}.
constexpr std::string_view kExtensibleGuidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                               14);

std::optional<SampleEncoding> encodingOf(uint16_t tag, uint16_t bits) {
  if (tag == kFloatTag && bits == 32) return SampleEncoding::Float32;
  if (tag != kPcmTag) return std::nullopt;
  switch (bits) {
    case 16:
      return SampleEncoding::Int16;
    case 24:
      return SampleEncoding::Int24;
    case 32:
      return SampleEncoding::Int32;
    default:
      return std::nullopt;
  }
}

// The plain tag an extensible chunk carries, or the problem with it.
Result<uint16_t> extensibleSubTag(std::string_view body, uint16_t bits) {
  if (static_cast<int64_t>(body.size()) < kExtensibleFormatSize) {
    return Problem{formatChunkShortReason(static_cast<int64_t>(body.size()), kExtensibleFormatSize)};
  }
  if (body.substr(26, kExtensibleGuidTail.size()) != kExtensibleGuidTail) {
    return Problem{unsupportedEncodingReason(kExtensibleTag, bits)};
  }
  return littleEndian16(body.data() + 24);
}

}  // namespace

Result<WavFormat> parseWavFormat(std::string_view body) {
  if (static_cast<int64_t>(body.size()) < kPlainFormatSize) {
    return Problem{formatChunkShortReason(static_cast<int64_t>(body.size()), kPlainFormatSize)};
  }
  uint16_t tag = littleEndian16(body.data());
  const uint16_t channels = littleEndian16(body.data() + 2);
  const uint32_t sampleRate = littleEndian32(body.data() + 4);
  const uint16_t blockAlign = littleEndian16(body.data() + 12);
  const uint16_t bits = littleEndian16(body.data() + 14);
  if (tag == kExtensibleTag) {
    Result<uint16_t> subTag = extensibleSubTag(body, bits);
    if (!subTag) return subTag.problem();
    tag = *subTag;
  }
  const std::optional<SampleEncoding> encoding = encodingOf(tag, bits);
  if (!encoding) return Problem{unsupportedEncodingReason(tag, bits)};
  if (channels == 0 || sampleRate == 0 || sampleRate > INT32_MAX ||
      blockAlign != channels * bytesPerSample(*encoding)) {
    return Problem{inconsistentFormatReason(channels, sampleRate, blockAlign)};
  }
  return WavFormat{channels, static_cast<int32_t>(sampleRate), *encoding};
}

}  // namespace rendlow::audio
