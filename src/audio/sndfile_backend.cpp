#include <cctype>
#include <memory>

#include "audio/audio_backend.h"
#include "audio/audio_messages.h"
#include "audio/file_access.h"
#include "audio/ogg_pages.h"
#include "audio/pcm_samples.h"
#include "audio/sndfile_library.h"
#include "audio/sndfile_memory.h"

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
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".wav";
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

std::vector<short> pcm16Samples(const AudioBuffer& buffer) {
  std::vector<short> samples(buffer.samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = pcm16FromFloat(buffer.samples[i]);
  return samples;
}

// Encodes into memory: 16-bit samples we convert ourselves, so the bytes match the builtin
// writer's; Vorbis from floats at libsndfile's default quality, with a fixed serial number so
// that the same sound always gives the same bytes.
Result<std::string> encode(const SndfileLibrary& sndfile, const AudioBuffer& buffer, AudioFileType type) {
  SF_INFO info{};
  info.samplerate = buffer.sampleRate;
  info.channels = buffer.channels;
  info.format =
      type == AudioFileType::Wav ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16) : (SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  MemoryFile memory;
  SndfileHandle file(sndfile.openVirtual(&memoryFileIo(), SFM_WRITE, &info, &memory), sndfile.close);
  if (!file) return Problem{libraryRefusedReason(sndfile.errorText(nullptr))};
  const sf_count_t written =
      type == AudioFileType::Wav
          ? sndfile.writeShort(file.get(), pcm16Samples(buffer).data(), buffer.frames())
          : sndfile.writeFloat(file.get(), clampedSamples(buffer).data(), buffer.frames());
  if (written != buffer.frames()) return Problem{libraryRefusedReason(sndfile.errorText(file.get()))};
  file.reset();
  if (type == AudioFileType::OggVorbis) setOggSerialNumber(memory.bytes, kOggSerialNumber);
  return std::move(memory.bytes);
}

class SndfileBackend final : public AudioBackend {
public:
  explicit SndfileBackend(const SndfileLibrary& sndfile) : sndfile_(sndfile) {}

  std::string_view name() const override { return "libsndfile"; }

  Result<AudioBuffer> read(const std::string& path) const override {
    if (namesWavFile(path)) return builtinBackend().read(path);
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes) return Problem{audioUnreadableMessage(path, bytes.problem().message)};
    MemoryFile memory{std::move(*bytes), 0};
    SF_INFO info{};
    SndfileHandle file(sndfile_.openVirtual(&memoryFileIo(), SFM_READ, &info, &memory), sndfile_.close);
    if (!file)
      return Problem{audioUnreadableMessage(path, libraryRefusedReason(sndfile_.errorText(nullptr)))};
    if (!readable(info.format)) return Problem{audioUnreadableMessage(path, unsupportedContainerReason())};
    return readOpened(sndfile_, file.get(), info);
  }

  Result<void> write(const std::string& path, const AudioBuffer& buffer, AudioFileType type) const override {
    Result<std::string> bytes = encode(sndfile_, buffer, type);
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
