#pragma once

// Whether a stem was rendered from the rendering MIDI file its sounds are cut for. A stem from
// an older rendering file, one shifted in time, cut short or silent would be cut without a
// word into sounds that play wrong in the chart.

#include <cstdint>

#include "audio/cut/stem_layout.h"
#include "audio/io/sound_stream.h"
#include "audio/io/wav_stream.h"
#include "base/message.h"

namespace rendlow::audio {

// The stretch of sound compared at each sound's start, and how far the stem's start may stray.
constexpr double kStemWindowSeconds = 0.020;
// How much shorter than its track a stem may end: a render stopped at the last note-off.
constexpr double kStemShortfallSeconds = 0.050;

// What looks wrong with a stem; all zero and false when it fits.
struct StemFit {
  bool silent = false;  // nothing above dither (-80 dBFS), where the song sounds
  // Its first sound against the rendering file's first sound the song hears, in ms: positive
  // late, negative early; 0 within kStemWindowSeconds.
  int64_t startLagMs = 0;
  double shortBySeconds = 0;  // how long before the track's end it ends; 0 within the shortfall
  // The sounds after silence in the rendering file whose first kStemWindowSeconds are no louder
  // than the stem right before them, of those so checked.
  int32_t soundsNotLouder = 0;
  int32_t soundsChecked = 0;

  bool fits() const { return !silent && startLagMs == 0 && shortBySeconds == 0 && soundsNotLouder == 0; }
};

// Reads `stem` once a block of `blockFrames` at a time, and a second time only for a stem that
// starts off and has sounds no louder at their starts, to compare it where its sounds are.
StemFit checkStem(const StemTrack& track, const SoundFile& stem, int64_t blockFrames = kStreamBlockFrames);

// What the user reads of a stem that does not fit, with its path.
Message stemMisfitMessage(const std::string& path, const StemFit& fit);

}  // namespace rendlow::audio
