#pragma once

#include <cstdint>

namespace rendlow::audio::soundfont {

// The stage times of an envelope in frames, and the level it holds while the key is down.
struct EnvelopeShape {
  int64_t delay = 0;
  int64_t attack = 0;
  int64_t hold = 0;
  // Frames a fall over the whole range takes, in decay and release alike.
  int64_t decay = 0;
  int64_t release = 0;
  double sustain = 1;  // in [0, 1]
};

// An envelope of six stages: silent for the delay, rising to 1 in the attack, held, falling
// toward the sustain level in the decay, held there while the key is down, falling to 0 in the
// release. Its level moves in straight lines; the voice decides what a level means (an amplitude
// in the attack of the volume envelope, a level in decibels after it).
class Envelope {
public:
  enum class Stage { kDelay, kAttack, kHold, kDecay, kSustain, kRelease, kFinished };

  explicit Envelope(const EnvelopeShape& shape) : shape_(shape) { enterFrom(Stage::kDelay); }

  double level() const { return level_; }
  Stage stage() const { return stage_; }
  // Moves `frames` frames on.
  void advance(int64_t frames);
  // The key let go: the release starts from `level` (the same sound in the release's terms).
  void release(double level);
  // The same, over `frames` for the whole range instead of the shape's release.
  void releaseOver(double level, int64_t frames);

private:
  // Enters `stage`, or the first stage after it that lasts.
  void enterFrom(Stage stage);
  int64_t stageFrames() const;

  EnvelopeShape shape_;
  Stage stage_ = Stage::kDelay;
  double level_ = 0;
  int64_t inStage_ = 0;  // frames spent in a timed stage
};

// Timecents as frames at `rate`: 2^(tc/1200) seconds.
int64_t timecentsToFrames(double timecents, double rate);

}  // namespace rendlow::audio::soundfont
