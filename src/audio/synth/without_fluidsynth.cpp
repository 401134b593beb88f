#include "audio/synth/rendering.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

// This build has no FluidSynth: rendering says so, and cutting the author's stems remains.
bool fluidSynthInBuild() { return false; }

int32_t synthBlockFrames() { return 0; }

Result<AudioBuffer> renderTrackAudio(const RenderingFileTrack&, const TempoMap&, const std::string&) {
  return Problem{fluidSynthAbsentMessage()};
}

struct SoundFontHold::Holder {};

SoundFontHold::SoundFontHold(std::unique_ptr<Holder> holder) : holder_(std::move(holder)) {}
SoundFontHold::SoundFontHold(SoundFontHold&&) noexcept = default;
SoundFontHold& SoundFontHold::operator=(SoundFontHold&&) noexcept = default;
SoundFontHold::~SoundFontHold() = default;

Result<SoundFontHold> SoundFontHold::open(const std::string&) { return Problem{fluidSynthAbsentMessage()}; }

unsigned renderThreads() { return 1; }

Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>&, const TempoMap&, const std::string&,
                                      const SoundOutput&, unsigned) {
  return Problem{fluidSynthAbsentMessage()};
}

Result<std::unique_ptr<SongStream>> SongStream::open(const std::vector<std::vector<ChannelMessage>>&,
                                                     const TempoMap&, const std::string&, unsigned) {
  return Problem{fluidSynthAbsentMessage()};
}

Result<AudioBuffer> renderSong(const std::vector<std::vector<ChannelMessage>>&, const TempoMap&,
                               const std::string&) {
  return Problem{fluidSynthAbsentMessage()};
}

}  // namespace rendlow::audio
