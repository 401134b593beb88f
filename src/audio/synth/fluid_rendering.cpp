#include <algorithm>
#include <thread>
#include <utility>

#include "audio/cut/sound_cut.h"
#include "audio/synth/fluid_synth_session.h"
#include "audio/synth/fluid_song_stream.h"
#include "audio/synth/fluid_track_player.h"
#include "audio/synth/rendering.h"
#include "audio/synth/work_threads.h"
#include "base/file_input.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

// The General MIDI SoundFonts looked for, best first, when none is named.
const std::vector<std::string>& defaultSoundFonts() {
  static const std::vector<std::string> paths{"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                              "/usr/share/sounds/sf2/default-GM.sf2",
                                              "/usr/share/sounds/sf2/TimGM6mb.sf2"};
  return paths;
}

// `explicitPath` when it is given and exists; else the first default that exists. The problem
// says which paths were tried.
Result<std::string> chooseSoundFont(const std::string& explicitPath) {
  if (!explicitPath.empty()) {
    if (fileExists(explicitPath)) return explicitPath;
    return Problem{soundFontMissingMessage(explicitPath)};
  }
  for (const std::string& path : defaultSoundFonts()) {
    if (fileExists(path)) return path;
  }
  return Problem{noSoundFontFoundMessage(defaultSoundFonts())};
}

Result<AudioBuffer> renderOneTrack(const RenderingFileTrack& track, const TempoMap& tempoMap,
                                   const std::string& soundFont) {
  Result<SynthSession> session = SynthSession::open(soundFont);
  if (!session) return session.problem();
  return TrackPlayer(*session, tempoMap).renderSounds(track);
}

Result<void> cutRenderedTrack(const RenderingFileTrack& track, const TempoMap& tempoMap,
                              const std::string& soundFont, const SoundOutput& output,
                              SoundFilesReport& report) {
  Result<SynthSession> session = SynthSession::open(soundFont);
  if (!session) return session.problem();
  TrackPlayer player(*session, tempoMap);
  const std::vector<SoundFrames> frames = player.soundFrames(track);
  TrackSoundWriter writer(track.stemName, output, report);
  Result<void> cut = player.streamSounds(track, [&](std::size_t i, const AudioBuffer& held, int64_t first) {
    return writer.write(track.sounds[i].fileName, held, frames[i].start - first, frames[i].end - first);
  });
  if (cut) writer.finish();
  return cut;
}

}  // namespace

bool fluidSynthInBuild() { return true; }

int32_t synthBlockFrames() { return SynthSession::blockFramesOfSetup(); }

Result<AudioBuffer> renderTrackAudio(const RenderingFileTrack& track, const TempoMap& tempoMap,
                                const std::string& soundFont) {
  Result<std::string> path = chooseSoundFont(soundFont);
  if (!path) return path.problem();
  return renderOneTrack(track, tempoMap, *path);
}

struct SoundFontHold::Holder {
  SynthSession synthesizer;
};

SoundFontHold::SoundFontHold(std::unique_ptr<Holder> holder) : holder_(std::move(holder)) {}
SoundFontHold::SoundFontHold(SoundFontHold&&) noexcept = default;
SoundFontHold& SoundFontHold::operator=(SoundFontHold&&) noexcept = default;
SoundFontHold::~SoundFontHold() = default;

Result<SoundFontHold> SoundFontHold::open(const std::string& soundFont) {
  Result<std::string> path = chooseSoundFont(soundFont);
  if (!path) return path.problem();
  Result<SynthSession> holder = SynthSession::open(*path);
  if (!holder) return holder.problem();
  return SoundFontHold(std::make_unique<Holder>(Holder{std::move(*holder)}));
}

unsigned renderThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>& tracks, const TempoMap& tempoMap,
                                      const std::string& soundFont, const SoundOutput& output, unsigned threads) {
  Result<std::string> path = chooseSoundFont(soundFont);
  if (!path) return path.problem();
  // Synthesizers loading the SoundFont at once on two threads would each read a copy of their own.
  Result<SoundFontHold> hold = SoundFontHold::open(*path);
  if (!hold) return hold.problem();
  std::vector<SoundFilesReport> reports(tracks.size(), SoundFilesReport{output.folder, 0, {}});
  std::vector<Result<void>> cuts(tracks.size());
  onThreads(tracks.size(), threads, [&](std::size_t i) {
    cuts[i] = cutRenderedTrack(tracks[i], tempoMap, *path, output, reports[i]);
  });
  SoundFilesReport report{output.folder, 0, {}};
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (!cuts[i]) return cuts[i].problem();
    report.filesWritten += reports[i].filesWritten;
    for (Notice& notice : reports[i].notices) report.notices.push_back(std::move(notice));
  }
  return report;
}

Result<std::unique_ptr<SongStream>> SongStream::open(const std::vector<std::vector<ChannelMessage>>& tracks,
                                                     const TempoMap& tempoMap, const std::string& soundFont,
                                                     unsigned threads) {
  Result<std::string> path = chooseSoundFont(soundFont);
  if (!path) return path.problem();
  const std::string chosen = *path;
  auto openSession = [&chosen](int count) {
    return count == 1 ? SynthSession::open(chosen) : SynthSession::openPerChannel(chosen, count);
  };
  return songStreamOf(openSession, tracks, tempoMap, threads);
}

Result<AudioBuffer> renderSong(const std::vector<std::vector<ChannelMessage>>& tracks,
                               const TempoMap& tempoMap, const std::string& soundFont) {
  Result<std::unique_ptr<SongStream>> song = SongStream::open(tracks, tempoMap, soundFont);
  if (!song) return song.problem();
  AudioBuffer mix = emptyRender();
  std::vector<AudioBuffer> blocks;
  for (AudioBuffer sum; (*song)->next(kSongBlockFrames, blocks, sum);)
    mix.samples.insert(mix.samples.end(), sum.samples.begin(), sum.samples.end());
  return mix;
}

}  // namespace rendlow::audio
