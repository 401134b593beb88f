#include "audio/cut/stem_check.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "audio/cut/sound_cut.h"
#include "audio/cut/stem_scan.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

// A stem whose peak stays below -80 dBFS holds no more than dither: nothing was rendered.
constexpr float kSilentStemPeak = 0.0001f;
// Louder means by this factor at least (1 dB): a steady tone is no louder at a start than before it.
constexpr double kLouder = 1.122;

bool songSoundsOn(const StemTrack& track) {
  return std::any_of(track.sounds.begin(), track.sounds.end(), [](const StemSound& s) { return !s.silentInSong; });
}

// Where the stem is first heard (see StemScan::onsetFrame), against where the rendering file is
// first heard.
int64_t startLagMs(const StemTrack& track, const StemScan& scan, int32_t sampleRate) {
  const auto firstHeard = std::find_if(track.sounds.begin(), track.sounds.end(),
                                       [](const StemSound& s) { return !s.silentInSong; });
  const double heardAt = static_cast<double>(scan.onsetFrame()) / sampleRate;
  const double lag = heardAt - firstHeard->startSeconds;
  return std::fabs(lag) > kStemWindowSeconds ? std::llround(lag * 1000) : 0;
}

// Where the rendering file leaves the track silent before a sound, the stem must grow louder
// at its start; a stem of another rendering file has its sounds elsewhere. The start of each
// such sound, `shift` frames on, with the stretch of it and the one before it compared.
struct SoundStart {
  int64_t frame = 0;
  FrameRange sound;
  FrameRange before;
};

std::vector<SoundStart> soundStarts(const StemTrack& track, int32_t sampleRate, int64_t shift) {
  const int64_t window = frameAt(kStemWindowSeconds, sampleRate);
  std::vector<SoundStart> starts;
  for (const StemSound& sound : track.sounds) {
    const int64_t before = std::min(window, frameAt(sound.silenceBeforeSeconds, sampleRate));
    if (sound.silentInSong || before == 0) continue;
    const int64_t start = frameAt(sound.startSeconds, sampleRate) + shift;
    const int64_t next = frameAt(sound.endSeconds, sampleRate) + shift;
    starts.push_back({start, {start, std::clamp(next, start + 1, start + window)}, {start - before, start}});
  }
  return starts;
}

// The stretches of `starts` in one list, each sound's then the one before it.
std::vector<FrameRange> rangesOf(const std::vector<SoundStart>& starts) {
  std::vector<FrameRange> ranges;
  for (const SoundStart& start : starts) ranges.insert(ranges.end(), {start.sound, start.before});
  return ranges;
}

// Counts the sounds checked and those no louder, of the stem read with rangesOf(starts). Sounds
// past the stem's end are told by its length.
std::pair<int32_t, int32_t> compareStarts(const std::vector<SoundStart>& starts, const StemScan& scan,
                                          int32_t sampleRate) {
  const int64_t window = frameAt(kStemWindowSeconds, sampleRate);
  int32_t checked = 0;
  int32_t notLouder = 0;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    if (starts[i].frame + window > scan.frames()) continue;
    ++checked;
    notLouder += !(scan.rmsOf(2 * i) > kLouder * scan.rmsOf(2 * i + 1));
  }
  return {checked, notLouder};
}

// A stem shifted in time is also compared where its sounds are, so that a shift alone is told
// as one; a stray sound before the first is not taken for one. That takes a second reading.
void compareShifted(const StemTrack& track, const SoundFile& stem, int64_t blockFrames, StemFit& fit) {
  const std::vector<SoundStart> starts =
      soundStarts(track, stem.sampleRate, frameAt(static_cast<double>(fit.startLagMs) / 1000, stem.sampleRate));
  const std::unique_ptr<SoundStream> reading = stem.open();
  const auto shifted = compareStarts(starts, StemScan(*reading, rangesOf(starts), blockFrames), stem.sampleRate);
  if (shifted.second < fit.soundsNotLouder) std::tie(fit.soundsChecked, fit.soundsNotLouder) = shifted;
}

}  // namespace

StemFit checkStem(const StemTrack& track, const SoundFile& stem, int64_t blockFrames) {
  const std::vector<SoundStart> starts = soundStarts(track, stem.sampleRate, 0);
  const std::unique_ptr<SoundStream> reading = stem.open();
  const StemScan scan(*reading, rangesOf(starts), blockFrames);
  StemFit fit;
  const double stemSeconds = static_cast<double>(scan.frames()) / stem.sampleRate;
  if (track.endSeconds - stemSeconds > kStemShortfallSeconds) fit.shortBySeconds = track.endSeconds - stemSeconds;
  if (!songSoundsOn(track)) return fit;
  fit.silent = scan.peak() < kSilentStemPeak;
  if (fit.silent) return fit;
  fit.startLagMs = startLagMs(track, scan, stem.sampleRate);
  std::tie(fit.soundsChecked, fit.soundsNotLouder) = compareStarts(starts, scan, stem.sampleRate);
  if (fit.startLagMs != 0 && fit.soundsNotLouder != 0) compareShifted(track, stem, blockFrames, fit);
  return fit;
}

Message stemMisfitMessage(const std::string& path, const StemFit& fit) {
  std::vector<Message> findings;
  if (fit.silent) findings.push_back(stemSilentReason());
  if (fit.startLagMs != 0) findings.push_back(stemStartsOffReason(fit.startLagMs));
  if (fit.shortBySeconds > 0) findings.push_back(stemEndsEarlyReason(fit.shortBySeconds));
  if (fit.soundsNotLouder > 0) findings.push_back(stemNotOfThisRenderingReason(fit.soundsNotLouder, fit.soundsChecked));
  return stemDoesNotFitMessage(path, findings);
}

}  // namespace rendlow::audio
