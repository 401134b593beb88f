#include "audio/synth/soundfont/envelope.h"

#include <algorithm>
#include <cmath>

namespace rendlow::audio::soundfont {

int64_t timecentsToFrames(double timecents, double rate) {
  return std::llround(std::exp2(timecents / 1200.0) * rate);
}

int64_t Envelope::stageFrames() const {
  switch (stage_) {
    case Stage::kDelay:
      return shape_.delay;
    case Stage::kAttack:
      return shape_.attack;
    case Stage::kHold:
      return shape_.hold;
    default:
      return 0;
  }
}

void Envelope::enterFrom(Stage stage) {
  stage_ = stage;
  inStage_ = 0;
  if (stage_ == Stage::kDelay && shape_.delay <= 0) stage_ = Stage::kAttack;
  if (stage_ == Stage::kAttack && shape_.attack <= 0) stage_ = Stage::kHold;
  if (stage_ == Stage::kHold) level_ = 1;
  if (stage_ == Stage::kHold && shape_.hold <= 0) stage_ = Stage::kDecay;
  if (stage_ == Stage::kDecay && (shape_.decay <= 0 || level_ <= shape_.sustain)) {
    level_ = std::min(level_, shape_.sustain);
    stage_ = Stage::kSustain;
  }
  if (stage_ == Stage::kRelease && (shape_.release <= 0 || level_ <= 0)) {
    level_ = 0;
    stage_ = Stage::kFinished;
  }
}

void Envelope::advance(int64_t frames) {
  while (frames > 0) {
    switch (stage_) {
      case Stage::kDelay:
      case Stage::kAttack:
      case Stage::kHold: {
        const int64_t step = std::min(frames, stageFrames() - inStage_);
        inStage_ += step;
        frames -= step;
        if (stage_ == Stage::kAttack)
          level_ = static_cast<double>(inStage_) / static_cast<double>(shape_.attack);
        if (inStage_ >= stageFrames()) enterFrom(static_cast<Stage>(static_cast<int>(stage_) + 1));
        break;
      }
      case Stage::kDecay:
      case Stage::kRelease: {
        const bool decaying = stage_ == Stage::kDecay;
        const double floor = decaying ? shape_.sustain : 0.0;
        const double perFrame = 1.0 / static_cast<double>(decaying ? shape_.decay : shape_.release);
        const auto toFloor = static_cast<int64_t>(std::ceil((level_ - floor) / perFrame));
        const int64_t step = std::min(frames, std::max<int64_t>(toFloor, 1));
        level_ = std::max(floor, level_ - perFrame * static_cast<double>(step));
        frames -= step;
        if (level_ <= floor) enterFrom(decaying ? Stage::kSustain : Stage::kFinished);
        break;
      }
      case Stage::kSustain:
      case Stage::kFinished:
        return;
    }
  }
}

void Envelope::release(double level) {
  if (stage_ == Stage::kFinished) return;
  level_ = std::clamp(level, 0.0, 1.0);
  enterFrom(Stage::kRelease);
}

void Envelope::releaseOver(double level, int64_t frames) {
  shape_.release = frames;
  release(level);
}

}  // namespace rendlow::audio::soundfont
