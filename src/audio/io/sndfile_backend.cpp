#include <array>
#include <memory>

#include "audio/io/audio_backend.h"
#include "audio/io/pcm_samples.h"
#include "audio/io/sndfile_library.h"
#include "base/messages_audio.h"
#include "base/text.h"

namespace rendlow::audio {

namespace {

using SndfileHandle = std::unique_ptr<SNDFILE, decltype(&sf_close)>;

constexpr sf_count_t kFramesPerRead = 65536;

bool readable(int format) {
  const int container = format & SF_FORMAT_TYPEMASK;
  return (container == SF_FORMAT_OGG && (format & SF_FORMAT_SUBMASK) == SF_FORMAT_VORBIS) ||
         container == SF_FORMAT_FLAC;
}

// WAV files go to our own reader: libsndfile refuses a "data" chunk before the "fmt " chunk,
// which editors do write, and reads a file whose "data" chunk is cut short as if it were whole.
bool namesWavFile(const std::string& path) {
  return path.size() >= 4 && caseFolded(path.substr(path.size() - 4)) == ".wav";
}

Result<AudioBuffer> readOpened(const SndfileLibrary& sndfile, SNDFILE* file, const SF_INFO& info) {
  AudioBuffer buffer{info.samplerate, info.channels, {}};
  std::vector<float> block(static_cast<std::size_t>(kFramesPerRead * info.channels));
  sf_count_t frames;
  while ((frames = sndfile.readFloat(file, block.data(), kFramesPerRead)) > 0) {
    const auto count = static_cast<std::size_t>(frames * info.channels);
    for (std::size_t i = 0; i < count; ++i) buffer.samples.push_back(clampedSample(block[i]));
  }
  return buffer;
}

std::vector<float> clampedSamples(const AudioBuffer& buffer) {
  std::vector<float> samples(buffer.samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = clampedSample(buffer.samples[i]);
  return samples;
}

// The stream serial number every Ogg file we write carries. libsndfile draws a random serial
// for each file; a fixed one lets two runs write the same bytes.
constexpr uint32_t kOggSerialNumber = 0x524C4F57;  // "RLOW"

constexpr std::size_t kPageHeaderSize = 27;
constexpr std::size_t kPageSerialOffset = 14;
constexpr std::size_t kPageChecksumOffset = 22;
constexpr std::size_t kPageSegmentCountOffset = 26;

// The Ogg page checksum: CRC-32 with polynomial 0x04C11DB7, not reflected, starting from 0.
const std::array<uint32_t, 256>& checksumTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> entries{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i << 24;
      for (int bit = 0; bit < 8; ++bit) value = (value << 1) ^ ((value & 0x80000000u) ? 0x04C11DB7u : 0);
      entries[i] = value;
    }
    return entries;
  }();
  return table;
}

uint32_t pageChecksum(const std::string& bytes, std::size_t start, std::size_t size) {
  const std::array<uint32_t, 256>& table = checksumTable();
  uint32_t crc = 0;
  for (std::size_t i = start; i < start + size; ++i) {
    crc = (crc << 8) ^ table[((crc >> 24) ^ static_cast<unsigned char>(bytes[i])) & 0xFF];
  }
  return crc;
}

void putLittleEndian32(std::string& bytes, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The size of the page at `start`, or 0 when no whole page is there.
std::size_t pageSize(const std::string& bytes, std::size_t start) {
  if (bytes.size() - start < kPageHeaderSize || bytes.compare(start, 4, "OggS") != 0) return 0;
  const std::size_t segments = static_cast<unsigned char>(bytes[start + kPageSegmentCountOffset]);
  if (bytes.size() - start < kPageHeaderSize + segments) return 0;
  std::size_t size = kPageHeaderSize + segments;
  for (std::size_t i = 0; i < segments; ++i)
    size += static_cast<unsigned char>(bytes[start + kPageHeaderSize + i]);
  return size <= bytes.size() - start ? size : 0;
}

// Gives every page of an Ogg stream held in memory the serial number `serial` and the page
// checksum that goes with it. Stops at the first bytes that are not a whole page.
void setOggSerialNumber(std::string& bytes, uint32_t serial) {
  std::size_t start = 0;
  while (const std::size_t size = pageSize(bytes, start)) {
    putLittleEndian32(bytes, start + kPageSerialOffset, serial);
    putLittleEndian32(bytes, start + kPageChecksumOffset, 0);
    putLittleEndian32(bytes, start + kPageChecksumOffset, pageChecksum(bytes, start, size));
    start += size;
  }
}

// Encodes Ogg Vorbis into memory, from floats at libsndfile's default quality, with a fixed
// serial number so that the same sound always gives the same bytes.
Result<std::string> encodeVorbis(const SndfileLibrary& sndfile, const AudioBuffer& buffer) {
  SF_INFO info{};
  info.samplerate = buffer.sampleRate;
  info.channels = buffer.channels;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  MemoryFile memory;
  SndfileHandle file(sndfile.openVirtual(&memoryFileIo(), SFM_WRITE, &info, &memory), sndfile.close);
  if (!file) return Problem{libraryRefusedReason(sndfile.errorText(nullptr))};
  const sf_count_t written = sndfile.writeFloat(file.get(), clampedSamples(buffer).data(), buffer.frames());
  if (written != buffer.frames()) return Problem{libraryRefusedReason(sndfile.errorText(file.get()))};
  file.reset();
  setOggSerialNumber(memory.bytes, kOggSerialNumber);
  return std::move(memory.bytes);
}

class SndfileBackend final : public AudioBackend {
public:
  explicit SndfileBackend(const SndfileLibrary& sndfile) : sndfile_(sndfile) {}

  Result<AudioBuffer> read(const std::string& path) const override {
    if (namesWavFile(path)) return builtinBackend().read(path);
    Result<std::string> bytes = readSoundFileBytes(path);
    if (!bytes) return bytes.problem();
    MemoryFile memory{std::move(*bytes), 0};
    SF_INFO info{};
    SndfileHandle file(sndfile_.openVirtual(&memoryFileIo(), SFM_READ, &info, &memory), sndfile_.close);
    if (!file)
      return Problem{audioUnreadableMessage(path, libraryRefusedReason(sndfile_.errorText(nullptr)))};
    if (!readable(info.format)) return Problem{audioUnreadableMessage(path, unsupportedContainerReason())};
    return readOpened(sndfile_, file.get(), info);
  }

  // WAV goes to our own writer, whose bytes every backend writes.
  Result<void> write(const std::string& path, const AudioBuffer& buffer, AudioFileType type) const override {
    if (type == AudioFileType::Wav) return builtinBackend().write(path, buffer, type);
    Result<std::string> bytes = encodeVorbis(sndfile_, buffer);
    if (!bytes) return Problem{audioNotWrittenMessage(path, bytes.problem().message)};
    return writeSoundFile(path, *bytes);
  }

  std::vector<std::string> readableExtensions() const override { return {".wav", ".ogg", ".flac"}; }
  bool writes(AudioFileType) const override { return true; }

private:
  const SndfileLibrary& sndfile_;
};

}  // namespace

const AudioBackend* sndfileBackend() {
  static const std::unique_ptr<SndfileBackend> backend =
      sndfileLibrary() ? std::make_unique<SndfileBackend>(*sndfileLibrary()) : nullptr;
  return backend.get();
}

}  // namespace rendlow::audio
