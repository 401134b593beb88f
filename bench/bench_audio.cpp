// How fast the audio layer works on a long track: FluidSynth rendering as a real-time factor
// (seconds of sound per second of work) for the song and for the sound files of a rendering
// file, then cutting a stem of the same length into its sounds, and the fidelity measures on the
// rendered song. Rendering uses the default SoundFont (FluidR3_GM when installed).

#include <chrono>
#include <cstdio>
#include <string>

#include "audio/fidelity/fidelity.h"
#include "audio/synth/rendering.h"
#include "audio/cut/stem_cutting.h"
#include "support/temp_dir.h"

namespace {

using namespace rendlow::audio;
using rendlow::Result;

constexpr int32_t kDivision = 480;
constexpr int kNotes = 1200;         // one every half beat: 5 minutes at 120 BPM
constexpr int64_t kStep = 240;       // ticks between note starts
constexpr int64_t kSoundStep = 960;  // in the rendering track, a sound every two beats

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A piano part with a pedal every bar and a bend now and then.
std::vector<ChannelMessage> songEvents() {
  std::vector<ChannelMessage> events{{0, 0xC0, 0, 0}};
  for (int n = 0; n < kNotes; ++n) {
    const int64_t tick = n * kStep;
    const auto key = static_cast<uint8_t>(48 + (n * 7) % 36);
    if (n % 8 == 0) events.push_back({tick, 0xB0, 64, 127});
    if (n % 8 == 7) events.push_back({tick, 0xB0, 64, 0});
    if (n % 16 == 5) events.push_back({tick, 0xE0, 0, 80});
    events.push_back({tick, 0x90, key, static_cast<uint8_t>(60 + n % 60)});
    events.push_back({tick + kStep - 10, 0x80, key, 0});
  }
  return events;
}

// The same length of rendering file: one sound every two beats, its presets before its note.
RenderingFileTrack sampleTrack() {
  RenderingFileTrack track{"tr01", {}, {}};
  const int sounds = static_cast<int>(kNotes * kStep / kSoundStep);
  for (int s = 0; s < sounds; ++s) {
    const int64_t tick = s * kSoundStep;
    const auto key = static_cast<uint8_t>(48 + (s * 5) % 36);
    track.events.insert(track.events.end(), {{tick, 0xC0, 0, 0},
                                             {tick, 0xB0, 64, 0},
                                             {tick, 0x90, key, 100},
                                             {tick + kSoundStep / 2, 0x80, key, 0}});
    track.sounds.push_back({"tr01_" + std::to_string(s + 1) + ".wav", tick, tick + kSoundStep});
  }
  return track;
}

void report(const char* what, double audioSeconds, double seconds) {
  std::printf("%-34s %8.1f s of sound %8.3f s %10.1fx real time\n", what, audioSeconds, seconds,
              audioSeconds / seconds);
}

}  // namespace

int main() {
  if (!fluidSynthInBuild()) {
    std::printf("FluidSynth is not in this build: nothing to measure\n");
    return 0;
  }
  const TempoMap tempo(kDivision, {{kNotes * kStep / 2, 400000}});
  auto start = std::chrono::steady_clock::now();
  Result<AudioBuffer> song = renderSong({songEvents()}, tempo, "");
  if (!song) {
    std::fprintf(stderr, "%s\n", song.problem().message.in(rendlow::Audience::EnglishConsole).c_str());
    return 1;
  }
  const double songSeconds = static_cast<double>(song->frames()) / song->sampleRate;
  report("render the song (one track)", songSeconds, secondsSince(start));

  rendlow::test::TempDir folder;
  const RenderingFileTrack track = sampleTrack();
  start = std::chrono::steady_clock::now();
  Result<SoundFilesReport> written = renderSounds({track}, tempo, "", SoundOutput{folder.path()});
  if (!written) return 1;
  report("render and write the sound files", tempo.secondsAt(track.sounds.back().endTick),
         secondsSince(start));

  std::vector<StemSound> sounds;
  for (const RenderingFileSound& sound : track.sounds) {
    sounds.push_back({sound.fileName, tempo.secondsAt(sound.startTick), tempo.secondsAt(sound.endTick)});
  }
  rendlow::test::TempDir stems;
  if (!defaultBackend().write(stems.file("tr01.wav"), *song, AudioFileType::Wav)) return 1;
  start = std::chrono::steady_clock::now();
  if (!cutStems({{"tr01", sounds}}, stems.path(), SoundOutput{folder.path()})) return 1;
  report("cut a stem into sound files", songSeconds, secondsSince(start));

  start = std::chrono::steady_clock::now();
  const FidelityFigures figures = comparePlayback(*song, *song);
  report("fidelity of the song against itself", songSeconds, secondsSince(start));
  std::printf("%s\n", fidelityLine(figures).in(rendlow::Audience::EnglishConsole).c_str());
  return 0;
}
