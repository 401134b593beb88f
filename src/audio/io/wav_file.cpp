#include "audio/io/wav_file.h"

#include <optional>

#include "audio/io/pcm_samples.h"
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

std::string printableId(std::string_view id) {
  std::string text(id);
  for (char& c : text) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return text;
}

bool isRiffWave(std::string_view bytes) {
  return bytes.size() >= kRiffHeaderSize && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WAVE";
}

namespace {

struct WavChunks {
  std::optional<std::string_view> format;
  std::optional<std::string_view> data;
};

// The first "fmt " and "data" chunks. The RIFF size is not trusted (streaming writers leave it
// wrong); the chunks run to the end of the bytes, and a pad byte after an odd-sized chunk may be
// missing at the very end.
Result<WavChunks> findChunks(std::string_view bytes) {
  WavChunks chunks;
  std::size_t offset = kRiffHeaderSize;
  while (bytes.size() - offset >= kChunkHeaderSize) {
    const std::string_view id = bytes.substr(offset, 4);
    const std::size_t available = bytes.size() - offset - kChunkHeaderSize;
    const auto size = static_cast<std::size_t>(
        chunkBytes(id, littleEndian32(bytes.data() + offset + 4), static_cast<int64_t>(available)));
    if (size > available) {
      return Problem{
          chunkPastEndReason(printableId(id), static_cast<int64_t>(size), static_cast<int64_t>(available))};
    }
    const std::string_view body = bytes.substr(offset + kChunkHeaderSize, size);
    if (id == "fmt " && !chunks.format) chunks.format = body;
    if (id == "data" && !chunks.data) chunks.data = body;
    offset += kChunkHeaderSize + size + (size & 1u);
    if (offset > bytes.size()) break;
  }
  return chunks;
}

Result<AudioBuffer> decodeChunks(const WavChunks& chunks) {
  if (!chunks.format) return Problem{chunkMissingReason("fmt ")};
  if (!chunks.data) return Problem{chunkMissingReason("data")};
  if (chunks.data->empty()) return Problem{emptyDataReason()};
  Result<WavFormat> format = parseWavFormat(*chunks.format);
  if (!format) return format.problem();
  AudioBuffer buffer{format->sampleRate, format->channels, {}};
  // An incomplete last frame is left out, as every player does.
  const std::size_t frameBytes =
      static_cast<std::size_t>(format->channels) * bytesPerSample(format->encoding);
  const std::size_t wholeFrames = chunks.data->size() / frameBytes;
  appendDecodedSamples(chunks.data->substr(0, wholeFrames * frameBytes), format->encoding, buffer.samples);
  return buffer;
}

// The RIFF size field counts everything after itself: 36 header bytes and the data.
constexpr int64_t kLargestData = 0xFFFFFFFFll - 36;

void putLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The 44-byte header of a file of `frames` frames.
std::string wav16Header(int32_t sampleRate, int32_t channels, int64_t frames) {
  const uint32_t blockAlign = static_cast<uint32_t>(channels) * 2;
  const uint32_t dataBytes = static_cast<uint32_t>(frames * blockAlign);
  std::string header = "RIFF";
  putLittleEndian(header, 36 + dataBytes, 4);
  header += "WAVEfmt ";
  putLittleEndian(header, 16, 4);
  putLittleEndian(header, 1, 2);
  putLittleEndian(header, static_cast<uint32_t>(channels), 2);
  putLittleEndian(header, static_cast<uint32_t>(sampleRate), 4);
  putLittleEndian(header, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
  putLittleEndian(header, blockAlign, 2);
  putLittleEndian(header, 16, 2);
  header += "data";
  putLittleEndian(header, dataBytes, 4);
  return header;
}

}  // namespace

Result<AudioBuffer> decodeWav(std::string_view bytes, const std::string& path) {
  if (!isRiffWave(bytes)) return Problem{audioUnreadableMessage(path, notRiffWaveReason())};
  Result<WavChunks> chunks = findChunks(bytes);
  if (!chunks) return Problem{audioUnreadableMessage(path, chunks.problem().message)};
  Result<AudioBuffer> buffer = decodeChunks(*chunks);
  if (!buffer) return Problem{audioUnreadableMessage(path, buffer.problem().message)};
  return buffer;
}

Result<std::string> encodeWav16(const AudioBuffer& buffer) {
  const int64_t dataBytes = static_cast<int64_t>(buffer.samples.size()) * 2;
  if (dataBytes > kLargestData) return Problem{wavTooLongReason(dataBytes)};
  std::string bytes = wav16Header(buffer.sampleRate, buffer.channels, buffer.frames());
  bytes.reserve(bytes.size() + static_cast<std::size_t>(dataBytes));
  for (float sample : buffer.samples)
    putLittleEndian(bytes, static_cast<uint16_t>(pcm16FromFloat(sample)), 2);
  return bytes;
}

}  // namespace rendlow::audio
