#include "audio/io/wav_reader.h"

#include <optional>

#include "audio/io/wav_format.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;

struct WavChunks {
  std::optional<std::string_view> format;
  std::optional<std::string_view> data;
};

// A chunk id as a user may read it: bytes outside printable ASCII as '?'.
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

// The first "fmt " and "data" chunks. The RIFF size is not trusted (streaming writers leave it
// wrong); the chunks run to the end of the bytes, and a pad byte after an odd-sized chunk may be
// missing at the very end.
Result<WavChunks> findChunks(std::string_view bytes) {
  WavChunks chunks;
  std::size_t offset = kRiffHeaderSize;
  while (bytes.size() - offset >= kChunkHeaderSize) {
    const std::string_view id = bytes.substr(offset, 4);
    const uint32_t size = littleEndian32(bytes.data() + offset + 4);
    const std::size_t available = bytes.size() - offset - kChunkHeaderSize;
    if (size > available) {
      return Problem{chunkPastEndReason(printableId(id), size, static_cast<int64_t>(available))};
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

}  // namespace

Result<AudioBuffer> decodeWav(std::string_view bytes, const std::string& path) {
  if (!isRiffWave(bytes)) return Problem{audioUnreadableMessage(path, notRiffWaveReason())};
  Result<WavChunks> chunks = findChunks(bytes);
  if (!chunks) return Problem{audioUnreadableMessage(path, chunks.problem().message)};
  Result<AudioBuffer> buffer = decodeChunks(*chunks);
  if (!buffer) return Problem{audioUnreadableMessage(path, buffer.problem().message)};
  return buffer;
}

}  // namespace rendlow::audio
