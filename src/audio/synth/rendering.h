#pragma once

// Sound files straight from the rendering MIDI file, with FluidSynth or the built-in synthesizer:
// each track alone, 44.1 kHz stereo, reverb and chorus off, one core, float samples. The
// synthesizer is driven event by event at sample positions from the tempo map; FluidSynth's own
// MIDI player keeps time in milliseconds and was measured starting notes 1.3-3.1 ms late over
// tempo changes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/io/audio_buffer.h"
#include "audio/cut/sound_output.h"
#include "audio/synth/tempo_map.h"
#include "base/result.h"

namespace rendlow::audio {

// A MIDI channel message of a track: note on/off, poly and channel pressure, control and
// program change, pitch bend. Meta and system-exclusive events are not passed.
struct ChannelMessage {
  int64_t tick = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// One distinct sound of a track of the rendering file.
struct RenderingFileSound {
  std::string fileName;  // as the chart's #WAV line names it: "tr01_01.wav"
  int64_t startTick = 0;
  int64_t endTick = 0;  // where the next sound starts, or the track ends (the last rings on)
};

// A converted track of the rendering file: its events in order (a sound's controller presets
// before its note-on) and its distinct sounds in order.
struct RenderingFileTrack {
  std::string stemName;
  std::vector<ChannelMessage> events;
  std::vector<RenderingFileSound> sounds;
};

// The synthesizers a sound file may be rendered with: FluidSynth, or Rendlow's own SoundFont
// renderer, which every build has.
enum class Synth { FluidSynth, Builtin };

// False in a build without FluidSynth, where rendering with it is refused in a problem.
bool fluidSynthInBuild();

// The synthesizer used unless another is asked for: FluidSynth where it is in the build.
Synth defaultSynth();

// The synthesizer starts what an event asks only where one of its blocks of this many frames
// begins; 0 for FluidSynth in a build without it. Its own render of the song has every note start
// so, and a playback compared with that render must place its sounds alike (see ChartMix).
int32_t synthBlockFrames(Synth synth = defaultSynth());

class SynthSessions;

// A synthesizer with a SoundFont read: while one lives, the synthesizers opened with it share the
// SoundFont's samples instead of each reading the file (most of a second for a General MIDI
// SoundFont), so a job that renders the keysounds and then measures them reads it once.
class SoundFontHold {
public:
  // `soundFont` may be empty: the first General MIDI SoundFont found is then used (see
  // defaultSoundFonts). The problem says which paths were tried, or why the file was refused.
  static Result<SoundFontHold> open(const std::string& soundFont, Synth synth = defaultSynth());
  SoundFontHold(SoundFontHold&&) noexcept;
  SoundFontHold& operator=(SoundFontHold&&) noexcept;
  ~SoundFontHold();

  const SynthSessions& sessions() const { return *sessions_; }

private:
  explicit SoundFontHold(std::unique_ptr<SynthSessions> sessions);
  std::unique_ptr<SynthSessions> sessions_;
};

// The General MIDI SoundFonts looked for, best first, when none is named: the one shipped beside
// the program, then, except on Windows, those a Linux system installs in /usr/share/sounds/sf2
// (FluidR3_GM, default-GM, TimGM6mb).
std::vector<std::string> defaultSoundFonts();

// The whole rendering of one track, from tick 0 to its last sound's end and on until it has rung
// out, so the last sound keeps its release. Each sound starts on the synthesizer block boundary
// renderFrameOf gives (blocks of 64 frames), after everything still sounding on the track's
// channels was silenced there (All Sound Off, sustain released), so nothing of the one before
// bleeds into it.
// `soundFont` as SoundFontHold::open takes it.
Result<AudioBuffer> renderTrackAudio(const RenderingFileTrack& track, const TempoMap& tempoMap,
                                     const std::string& soundFont, Synth synth = defaultSynth());

// As many threads as the machine has cores: the tracks are rendered side by side, each by a
// synthesizer of its own.
unsigned renderThreads();

// Renders every track and cuts each sound out of it as it renders, as cutSound does, into the
// output folder: one sound of each track at a time is held, however long the song. The tracks
// share `threads` threads; two runs write the same bytes, on any number of threads, and the
// report tells the tracks in their order.
Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>& tracks, const TempoMap& tempoMap,
                                      const SoundFontHold& soundFont, const SoundOutput& output,
                                      unsigned threads = renderThreads());
// The same with the SoundFont at `soundFont` (see SoundFontHold::open), by the default synthesizer.
Result<SoundFilesReport> renderSounds(const std::vector<RenderingFileTrack>& tracks, const TempoMap& tempoMap,
                                      const std::string& soundFont, const SoundOutput& output,
                                      unsigned threads = renderThreads());

// The frames a song is rendered in when it is measured: about 0.4 s.
constexpr int64_t kSongBlockFrames = 16384;

// The song itself from its own events a block at a time, each track rendered alone by a
// synthesizer of its own and the tracks summed in their order, each ringing out after its last
// event: the reference the chart's playback is measured against. The tracks render side by side
// on `threads` threads; the samples are the same on any number.
class SongStream {
public:
  static Result<std::unique_ptr<SongStream>> open(const std::vector<std::vector<ChannelMessage>>& tracks,
                                                  const TempoMap& tempoMap, const SoundFontHold& soundFont,
                                                  unsigned threads = renderThreads());
  // The same with the SoundFont at `soundFont`, by the default synthesizer.
  static Result<std::unique_ptr<SongStream>> open(const std::vector<std::vector<ChannelMessage>>& tracks,
                                                  const TempoMap& tempoMap, const std::string& soundFont,
                                                  unsigned threads = renderThreads());
  virtual ~SongStream() = default;
  // Each track's next frames (`frames` of them until it has rung out, then fewer, then none) and
  // their sum, as long as the longest of them. False, with nothing, once every track has rung out.
  virtual bool next(int64_t frames, std::vector<AudioBuffer>& tracks, AudioBuffer& sum) = 0;
};

// The whole song so (see SongStream).
Result<AudioBuffer> renderSong(const std::vector<std::vector<ChannelMessage>>& tracks,
                               const TempoMap& tempoMap, const std::string& soundFont,
                               Synth synth = defaultSynth());

}  // namespace rendlow::audio
