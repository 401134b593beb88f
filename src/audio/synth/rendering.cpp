#include "audio/synth/rendering.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "audio/cut/sound_cut.h"
#include "audio/synth/song_stream.h"
#include "audio/synth/synth_session.h"
#include "audio/synth/track_player.h"
#include "audio/synth/work_threads.h"
#include "base/file_input.h"
#include "base/messages_audio.h"
#include "base/platform.h"

namespace rendlow::audio {

namespace {

// The SoundFont shipped beside the program, in the Windows zip and the Linux packages.
constexpr const char* kShippedSoundFont = "TimGM6mb.sf2";

// `explicitPath` when it is given and exists; else the first default that exists. The problem
// says which paths were tried.
Result<std::string> chooseSoundFont(const std::string& explicitPath) {
  if (!explicitPath.empty()) {
    if (fileExists(explicitPath)) return explicitPath;
    return Problem{soundFontMissingMessage(explicitPath)};
  }
  const std::vector<std::string> paths = defaultSoundFonts();
  for (const std::string& path : paths) {
    if (fileExists(path)) return path;
  }
  return Problem{noSoundFontFoundMessage(paths)};
}

Result<void> cutRenderedTrack(const RenderingFileTrack& track, const TempoMap& tempoMap,
                              const SynthSessions& sessions, const SoundOutput& output,
                              SoundFilesReport& report) {
  Result<std::unique_ptr<SynthSession>> session = sessions.open(1);
  if (!session) return session.problem();
  TrackPlayer player(**session, tempoMap);
  const std::vector<SoundFrames> frames = player.soundFrames(track);
  TrackSoundWriter writer(track.stemName, output, report);
  Result<void> cut = player.streamSounds(track, [&](std::size_t i, const AudioBuffer& held, int64_t first) {
    return writer.write(track.sounds[i].fileName, held, frames[i].start - first, frames[i].end - first);
  });
  if (cut) writer.finish();
  return cut;
}

}  // namespace

Synth defaultSynth() { return fluidSynthInBuild() ? Synth::FluidSynth : Synth::Builtin; }

int32_t synthBlockFrames(Synth synth) {
  return synth == Synth::FluidSynth ? fluidSynthBlockFrames() : builtinSynthBlockFrames();
}

// Windows has no shared folder of SoundFonts: there the one beside the program is the only
// default (Wine would even find Linux's under their Linux paths, hiding a missing one).
std::vector<std::string> defaultSoundFonts() {
  std::vector<std::string> paths;
  if (const std::string folder = programFolder(); !folder.empty())
    paths.push_back(folder + pathSeparator() + kShippedSoundFont);
#ifndef _WIN32
  for (const char* installed : {"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
    paths.emplace_back(installed);
#endif
  return paths;
}

SoundFontHold::SoundFontHold(std::unique_ptr<SynthSessions> sessions) : sessions_(std::move(sessions)) {}
SoundFontHold::SoundFontHold(SoundFontHold&&) noexcept = default;
SoundFontHold& SoundFontHold::operator=(SoundFontHold&&) noexcept = default;
SoundFontHold::~SoundFontHold() = default;

Result<SoundFontHold> SoundFontHold::open(const std::string& soundFont, Synth synth) {
  Result<std::string> path = chooseSoundFont(soundFont);
  if (!path) return path.problem();
  Result<std::unique_ptr<SynthSessions>> sessions =
      synth == Synth::FluidSynth ? fluidSynthSessions(*path) : builtinSynthSessions(*path);
  if (!sessions) return sessions.problem();
  return SoundFontHold(std::move(*sessions));
}

Result<AudioBuffer> renderTrackAudio(const RenderingFileTrack& track, const TempoMap& tempoMap,
                                     const std::string& soundFont, Synth synth) {
  Result<SoundFontHold> hold = SoundFontHold::open(soundFont, synth);
  if (!hold) return hold.problem();
  Result<std::unique_ptr<SynthSession>> session = hold->sessions().open(1);
  if (!session) return session.problem();
  return TrackPlayer(**session, tempoMap).renderSounds(track);
}

unsigned renderThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>& tracks, const TempoMap& tempoMap,
                                      const SoundFontHold& soundFont, const SoundOutput& output,
                                      unsigned threads) {
  std::vector<SoundFilesReport> reports(tracks.size(), SoundFilesReport{output.folder, 0, {}});
  std::vector<Result<void>> cuts(tracks.size());
  onThreads(tracks.size(), threads, [&](std::size_t i) {
    cuts[i] = cutRenderedTrack(tracks[i], tempoMap, soundFont.sessions(), output, reports[i]);
  });
  SoundFilesReport report{output.folder, 0, {}};
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (!cuts[i]) return cuts[i].problem();
    report.filesWritten += reports[i].filesWritten;
    for (Notice& notice : reports[i].notices) report.notices.push_back(std::move(notice));
  }
  return report;
}

// The SoundFont held first: synthesizers loading it at once on two threads would each read a
// copy of their own.
Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>& tracks, const TempoMap& tempoMap,
                                      const std::string& soundFont, const SoundOutput& output,
                                      unsigned threads) {
  Result<SoundFontHold> hold = SoundFontHold::open(soundFont);
  if (!hold) return hold.problem();
  return renderSounds(tracks, tempoMap, *hold, output, threads);
}

Result<std::unique_ptr<SongStream>> SongStream::open(const std::vector<std::vector<ChannelMessage>>& tracks,
                                                     const TempoMap& tempoMap, const SoundFontHold& soundFont,
                                                     unsigned threads) {
  return songStreamOf(soundFont.sessions(), tracks, tempoMap, threads);
}

Result<std::unique_ptr<SongStream>> SongStream::open(const std::vector<std::vector<ChannelMessage>>& tracks,
                                                     const TempoMap& tempoMap, const std::string& soundFont,
                                                     unsigned threads) {
  Result<SoundFontHold> hold = SoundFontHold::open(soundFont);
  if (!hold) return hold.problem();
  return open(tracks, tempoMap, *hold, threads);
}

Result<AudioBuffer> renderSong(const std::vector<std::vector<ChannelMessage>>& tracks,
                               const TempoMap& tempoMap, const std::string& soundFont, Synth synth) {
  Result<SoundFontHold> hold = SoundFontHold::open(soundFont, synth);
  if (!hold) return hold.problem();
  Result<std::unique_ptr<SongStream>> song = SongStream::open(tracks, tempoMap, *hold);
  if (!song) return song.problem();
  AudioBuffer mix = emptyRender();
  std::vector<AudioBuffer> blocks;
  for (AudioBuffer sum; (*song)->next(kSongBlockFrames, blocks, sum);)
    mix.samples.insert(mix.samples.end(), sum.samples.begin(), sum.samples.end());
  return mix;
}

}  // namespace rendlow::audio
