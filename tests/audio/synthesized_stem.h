#pragma once

// A stem as a plain instrument would render a track of the rendering MIDI file: each note a sine
// at its pitch from its note-on to its note-off, then a 30 ms release, scaled by its velocity and
// its channel's volume and expression. Mono, at a low rate, so the tests stay quick.

#include <array>
#include <cmath>
#include <numbers>

#include "audio/io/audio_buffer.h"
#include "audio/synth/rendering.h"
#include "audio/synth/tempo_map.h"
#include "audio_test.h"

namespace rendlow::audio::test {

constexpr int32_t kStemRate = 8000;

inline void addNote(AudioBuffer& stem, double on, double off, int key, double gain) {
  const double hz = 440.0 * std::pow(2.0, (key - 69) / 12.0);
  const double release = 0.030;
  const int64_t first = frameAt(on, stem.sampleRate);
  const int64_t last = std::min<int64_t>(frameAt(off + release, stem.sampleRate), stem.frames());
  for (int64_t f = first; f < last; ++f) {
    const double t = static_cast<double>(f) / stem.sampleRate;
    const double envelope = t < off ? 1.0 : std::max(0.0, 1.0 - (t - off) / release);
    stem.samples[static_cast<std::size_t>(f)] +=
        static_cast<float>(gain * envelope * std::sin(2 * std::numbers::pi * hz * (t - on)));
  }
}

// The track rendered from tick 0 to its last event and `tailSeconds` on, at `rate`.
inline AudioBuffer synthesizedStem(const RenderingFileTrack& track, const TempoMap& tempo,
                                   double tailSeconds = 0.3, int32_t rate = kStemRate) {
  const double end = tempo.secondsAt(track.events.empty() ? 0 : track.events.back().tick) + tailSeconds;
  AudioBuffer stem{rate, 1, std::vector<float>(static_cast<std::size_t>(frameAt(end, rate)), 0.0f)};
  std::array<int, 16> volume{}, expression{};
  volume.fill(100);
  expression.fill(127);
  std::array<double, 128> onAt{};
  std::array<double, 128> gainOf{};
  for (const ChannelMessage& m : track.events) {
    const int channel = m.status & 0x0F;
    const double at = tempo.secondsAt(m.tick);
    if ((m.status & 0xF0) == 0xB0 && m.data1 == 7) volume[channel] = m.data2;
    if ((m.status & 0xF0) == 0xB0 && m.data1 == 11) expression[channel] = m.data2;
    if ((m.status & 0xF0) == 0x90 && m.data2 > 0) {
      onAt[m.data1] = at;
      gainOf[m.data1] = 0.5 * m.data2 / 127.0 * volume[channel] / 127.0 * expression[channel] / 127.0;
    } else if ((m.status & 0xF0) == 0x80 || (m.status & 0xF0) == 0x90) {
      addNote(stem, onAt[m.data1], at, m.data1, gainOf[m.data1]);
    }
  }
  return stem;
}

// `stem` with `seconds` of silence before it: rendered late.
inline AudioBuffer delayed(const AudioBuffer& stem, double seconds) {
  return delayed(stem, frameAt(seconds, stem.sampleRate));
}

}  // namespace rendlow::audio::test
