#include "audio/io/wav_stream.h"

#include <cerrno>
#include <optional>

#include "audio/io/audio_backend.h"
#include "audio/io/wav_file.h"
#include "base/text.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

struct DataChunk {
  WavFormat format;
  int64_t offset = 0;
  int64_t bytes = 0;
};

// `count` bytes at `offset`; fewer where the file ends.
std::string bytesAt(std::FILE* file, int64_t offset, std::size_t count) {
  std::string bytes(count, '\0');
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return {};
  bytes.resize(std::fread(bytes.data(), 1, count, file));
  return bytes;
}

int64_t sizeOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  return static_cast<int64_t>(std::ftell(file));
}

// The chunks walked as findChunks walks them in memory, reading only their headers and the
// "fmt " chunk's body; the problem carries only the reason.
Result<DataChunk> findData(std::FILE* file) {
  const int64_t size = sizeOf(file);
  if (!isRiffWave(bytesAt(file, 0, kRiffHeaderSize))) return Problem{notRiffWaveReason()};
  std::optional<std::string> format;
  std::optional<DataChunk> data;
  for (int64_t offset = kRiffHeaderSize; size - offset >= static_cast<int64_t>(kChunkHeaderSize);) {
    const std::string header = bytesAt(file, offset, kChunkHeaderSize);
    const std::string_view id = std::string_view(header).substr(0, 4);
    const int64_t available = size - offset - static_cast<int64_t>(kChunkHeaderSize);
    const int64_t chunkSize = chunkBytes(id, littleEndian32(header.data() + 4), available);
    if (chunkSize > available) return Problem{chunkPastEndReason(printableId(id), chunkSize, available)};
    const int64_t body = offset + static_cast<int64_t>(kChunkHeaderSize);
    if (id == "fmt " && !format) format = bytesAt(file, body, static_cast<std::size_t>(chunkSize));
    if (id == "data" && !data) data = DataChunk{{}, body, chunkSize};
    offset = body + chunkSize + (chunkSize & 1);
  }
  if (!format) return Problem{chunkMissingReason("fmt ")};
  if (!data) return Problem{chunkMissingReason("data")};
  if (data->bytes == 0) return Problem{emptyDataReason()};
  Result<WavFormat> parsed = parseWavFormat(*format);
  if (!parsed) return parsed.problem();
  data->format = *parsed;
  return *data;
}

}  // namespace

Result<std::unique_ptr<WavFileStream>> WavFileStream::open(const std::string& path) {
  Result<InputFile> file = openForReading(path, {fileSystemReason, nullptr});
  if (!file) return Problem{audioUnreadableMessage(path, file.problem().message)};
  Result<DataChunk> data = findData(file->get());
  if (!data) return Problem{audioUnreadableMessage(path, data.problem().message)};
  std::unique_ptr<WavFileStream> stream(new WavFileStream());
  stream->file_ = std::move(*file);
  stream->shape_ = AudioBuffer{data->format.sampleRate, data->format.channels, {}};
  stream->encoding_ = data->format.encoding;
  stream->frameBytes_ = int64_t{data->format.channels} * bytesPerSample(data->format.encoding);
  // An incomplete last frame is left out, as every player does.
  stream->framesLeft_ = data->bytes / stream->frameBytes_;
  if (std::fseek(stream->file_.get(), static_cast<long>(data->offset), SEEK_SET) != 0)
    return Problem{audioUnreadableMessage(path, fileSystemReason(errno))};
  return stream;
}

AudioBuffer WavFileStream::next(int64_t frames) {
  AudioBuffer block = shape_;
  const int64_t count = std::min(frames, framesLeft_);
  std::string bytes(static_cast<std::size_t>(count * frameBytes_), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_.get()));
  framesLeft_ -= count;
  const auto whole = static_cast<std::size_t>(static_cast<int64_t>(bytes.size()) / frameBytes_ * frameBytes_);
  appendDecodedSamples(std::string_view(bytes).substr(0, whole), encoding_, block.samples);
  return block;
}

}  // namespace rendlow::audio

namespace rendlow::audio {

namespace {

bool namesWav(const std::string& path) {
  return path.size() >= 4 && caseFolded(path.substr(path.size() - 4)) == ".wav";
}

// A file that opened once and no longer does gives silence: what was checked stands.
std::unique_ptr<SoundStream> reopened(const std::string& path, const AudioBuffer& shape) {
  Result<std::unique_ptr<WavFileStream>> stream = WavFileStream::open(path);
  if (stream) return std::move(*stream);
  return std::make_unique<EmptyStream>(shape);
}

}  // namespace

Result<SoundFile> openSoundFile(const std::string& path, const AudioBackend& backend) {
  if (namesWav(path)) {
    Result<std::unique_ptr<WavFileStream>> stream = WavFileStream::open(path);
    if (!stream) return stream.problem();
    const AudioBuffer shape{(*stream)->sampleRate(), (*stream)->channels(), {}};
    return SoundFile{shape.sampleRate, shape.channels, [path, shape] { return reopened(path, shape); }};
  }
  Result<AudioBuffer> sound = backend.read(path);
  if (!sound) return sound.problem();
  auto held = std::make_shared<const AudioBuffer>(std::move(*sound));
  return SoundFile{held->sampleRate, held->channels, [held] { return std::make_unique<BufferStream>(*held); }};
}

}  // namespace rendlow::audio
