#include "audio/synth/soundfont/voice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rendlow::audio::soundfont {

namespace {

// The volume envelope's levels span 96 dB: level 1 is full volume, level 0 is 960 centibels down.
constexpr double kEnvelopeRangeCb = 960;
// The zones' own attenuation counts for 0.4 of its centibels, as on the sound cards the format
// was made for and in FluidSynth: SoundFonts are voiced for it.
constexpr double kZoneAttenuationScale = 0.4;

// A choked voice falls the volume envelope's whole range in 0.89 s, so 20 dB in 0.19 s.
constexpr double kChokeTimecents = -200;

double centibelsToGain(double centibels) { return std::pow(10.0, -centibels / 200.0); }

// Absolute cents as hertz: 0 cents is 8.176 Hz, MIDI key 0.
double absoluteCentsToHertz(double cents) { return 8.176 * std::exp2(cents / 1200.0); }

// A generator's timecents lengthened or shortened by the key: `perKey` timecents a key below 60.
int64_t keyScaledFrames(double timecents, double perKey, int key, double rate) {
  return timecentsToFrames(timecents + perKey * (60 - key), rate);
}

Lfo lfoOf(double delay, double frequency, double rate) {
  return Lfo(timecentsToFrames(delay, rate), rate / absoluteCentsToHertz(frequency));
}

}  // namespace

Voice::Voice(const SoundFont& font, VoiceSetup setup, const ChannelState& channel, int key, int velocity,
             double rate)
    : font_(&font),
      setup_(std::move(setup)),
      key_(key),
      rate_(rate),
      volume_(EnvelopeShape{}),
      modulation_(EnvelopeShape{}),
      modLfo_(lfoOf(setup_.generators[kModLfoDelay], setup_.generators[kModLfoFrequency], rate)),
      vibLfo_(lfoOf(setup_.generators[kVibLfoDelay], setup_.generators[kVibLfoFrequency], rate)) {
  const double keyOverride = setup_.generators[kKeyNumber];
  const double velocityOverride = setup_.generators[kVelocity];
  inputs_ = {&channel, keyOverride >= 0 ? static_cast<int>(keyOverride) : key,
             velocityOverride >= 0 ? static_cast<int>(velocityOverride) : velocity};
  modulate();
  placeSample();
  startEnvelopes();
}

// Every generator again with what each modulator adds to it now.
void Voice::modulate() {
  values_ = setup_.generators;
  pitchModulation_ = 0;
  for (const Modulator& modulator : setup_.modulators) {
    const double output = modulatorOutput(modulator, inputs_);
    if (modulator.destination == kInitialPitch) {
      pitchModulation_ += output;
    } else if (modulator.destination < kGeneratorCount) {
      values_[modulator.destination] += output;
    }
  }
}

// The sample's points and loop moved by the address generators, kept inside the sample data.
void Voice::placeSample() {
  const SampleHeader& sample = *setup_.sample;
  const auto size = static_cast<int64_t>(font_->points.size());
  auto offset = [&](uint32_t base, Generator fine, Generator coarse) {
    const auto at = static_cast<int64_t>(base) + static_cast<int64_t>(values_[fine]) +
                    32768 * static_cast<int64_t>(values_[coarse]);
    return std::clamp<int64_t>(at, 0, size);
  };
  start_ = offset(sample.start, kStartAddressOffset, kStartAddressCoarseOffset);
  end_ = std::max(start_, offset(sample.end, kEndAddressOffset, kEndAddressCoarseOffset));
  loopStart_ = offset(sample.loopStart, kLoopStartOffset, kLoopStartCoarseOffset);
  loopEnd_ = offset(sample.loopEnd, kLoopEndOffset, kLoopEndCoarseOffset);
  mode_ = static_cast<int>(values_[kSampleModes]) & 3;
  // A loop outside the sample, or too short to hold a wave, is not played as a loop.
  if (mode_ == 2 || loopStart_ < start_ || loopEnd_ > end_ || loopEnd_ - loopStart_ < 2) mode_ = 0;
  index_ = start_;
}

void Voice::startEnvelopes() {
  const int key = inputs_.key;
  volume_ = Envelope({timecentsToFrames(values_[kVolEnvDelay], rate_),
                      timecentsToFrames(values_[kVolEnvAttack], rate_),
                      keyScaledFrames(values_[kVolEnvHold], values_[kKeyToVolEnvHold], key, rate_),
                      keyScaledFrames(values_[kVolEnvDecay], values_[kKeyToVolEnvDecay], key, rate_),
                      timecentsToFrames(values_[kVolEnvRelease], rate_),
                      std::clamp(1 - values_[kVolEnvSustain] / kEnvelopeRangeCb, 0.0, 1.0)});
  modulation_ = Envelope({timecentsToFrames(values_[kModEnvDelay], rate_),
                          timecentsToFrames(values_[kModEnvAttack], rate_),
                          keyScaledFrames(values_[kModEnvHold], values_[kKeyToModEnvHold], key, rate_),
                          keyScaledFrames(values_[kModEnvDecay], values_[kKeyToModEnvDecay], key, rate_),
                          timecentsToFrames(values_[kModEnvRelease], rate_),
                          std::clamp(1 - values_[kModEnvSustain] / 1000.0, 0.0, 1.0)});
}

// The pitch against the sample's own, in cents: the key against the root key by the scale
// tuning, the tuning generators, the sample's correction and what modulates the pitch.
double Voice::pitchCents() const {
  const double root =
      values_[kOverridingRootKey] >= 0 ? values_[kOverridingRootKey] : setup_.sample->originalKey;
  return values_[kScaleTuning] * (inputs_.key - root) + 100 * values_[kCoarseTune] + values_[kFineTune] +
         setup_.sample->pitchCorrection + pitchModulation_ + modulation_.level() * values_[kModEnvToPitch] +
         modLfo_.value() * values_[kModLfoToPitch] + vibLfo_.value() * values_[kVibLfoToPitch];
}

// The volume envelope's gain (an amplitude in its attack, decibels after) times the attenuation
// and the modulation LFO's swing.
double Voice::gain() const {
  double envelope = 0;
  switch (volume_.stage()) {
    case Envelope::Stage::kDelay:
    case Envelope::Stage::kFinished:
      break;
    case Envelope::Stage::kAttack:
      envelope = volume_.level();
      break;
    default:
      envelope = centibelsToGain(kEnvelopeRangeCb * (1 - volume_.level()));
  }
  const double attenuation = std::clamp(
      values_[kInitialAttenuation] - (1 - kZoneAttenuationScale) * setup_.generators[kInitialAttenuation],
      0.0, 1440.0);
  return kOutputGain * envelope * centibelsToGain(attenuation - modLfo_.value() * values_[kModLfoToVolume]);
}

float Voice::pointAt(int64_t index) const {
  const bool looping = mode_ == 1 || (mode_ == 3 && !released_);
  if (looping && index >= loopEnd_) index -= loopEnd_ - loopStart_;
  if (looping && wrapped_ && index < loopStart_) index += loopEnd_ - loopStart_;
  if (index >= end_) return 0;
  return font_->point(static_cast<std::size_t>(std::max(index, start_)));
}

// Cubic Hermite (Catmull-Rom) through the four points around the position. Away from the ends of
// the sample and of its loop the four are read straight, which is most of the time.
float Voice::interpolated() const {
  const bool looping = mode_ == 1 || (mode_ == 3 && !released_);
  const int64_t first = looping && wrapped_ ? loopStart_ : start_;
  const int64_t limit = looping ? loopEnd_ : end_;
  const bool inside = index_ - 1 >= first && index_ + 2 < limit;
  const auto at = static_cast<std::size_t>(index_);
  const float p0 = inside ? font_->point(at - 1) : pointAt(index_ - 1);
  const float p1 = inside ? font_->point(at) : pointAt(index_);
  const float p2 = inside ? font_->point(at + 1) : pointAt(index_ + 1);
  const float p3 = inside ? font_->point(at + 2) : pointAt(index_ + 2);
  const auto t = static_cast<float>(fraction_);
  return p1 + 0.5f * t * (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
}

void Voice::step(double increment) {
  fraction_ += increment;
  const auto whole = static_cast<int64_t>(fraction_);
  index_ += whole;
  fraction_ -= static_cast<double>(whole);
  const bool looping = mode_ == 1 || (mode_ == 3 && !released_);
  while (looping && index_ >= loopEnd_) {
    index_ -= loopEnd_ - loopStart_;
    wrapped_ = true;
  }
  if (index_ >= end_) finished_ = true;
}

void Voice::render(int64_t frames, float* left, float* right) {
  if (finished_) return;
  modulate();
  const double cutoff = values_[kFilterCutoff] + modulation_.level() * values_[kModEnvToFilterCutoff] +
                        modLfo_.value() * values_[kModLfoToFilterCutoff];
  filter_.set(absoluteCentsToHertz(cutoff), values_[kFilterResonance] / 10.0, rate_);
  const double increment = std::exp2(pitchCents() / 1200.0) * setup_.sample->sampleRate / rate_;
  const double target = gain();
  const double from = lastGain_ < 0 ? target : lastGain_;
  const double pan = std::clamp(values_[kPan], -500.0, 500.0);
  const double angle = (pan + 500) / 1000 * std::numbers::pi / 2;
  const auto toLeft = static_cast<float>(std::cos(angle)), toRight = static_cast<float>(std::sin(angle));
  for (int64_t i = 0; i < frames && !finished_; ++i) {
    float sample = interpolated();
    if (filter_.active()) sample = filter_.process(sample);
    sample *=
        static_cast<float>(from + (target - from) * static_cast<double>(i) / static_cast<double>(frames));
    left[i] += sample * toLeft;
    right[i] += sample * toRight;
    step(increment);
  }
  lastGain_ = target;
  volume_.advance(frames);
  modulation_.advance(frames);
  modLfo_.advance(frames);
  vibLfo_.advance(frames);
  // A volume envelope past its attack at level 0 is 96 dB down for good: a decay to a sustain of
  // silence ends the voice as its release would.
  const bool pastAttack = volume_.stage() >= Envelope::Stage::kDecay;
  if (volume_.stage() == Envelope::Stage::kFinished || (pastAttack && volume_.level() <= 0)) finished_ = true;
}

// The volume envelope leaves its attack at the loudness it had reached, in the terms of its
// decibel stages.
double Voice::releaseLevel() const {
  const double level = volume_.level();
  if (volume_.stage() == Envelope::Stage::kDelay) return 0;
  if (volume_.stage() != Envelope::Stage::kAttack) return level;
  return level > 0 ? 1 + 200 * std::log10(level) / kEnvelopeRangeCb : 0;
}

void Voice::release() {
  if (released_) return;
  released_ = true;
  volume_.release(releaseLevel());
  modulation_.release(modulation_.level());
}

void Voice::choke() {
  released_ = true;
  volume_.releaseOver(releaseLevel(), timecentsToFrames(kChokeTimecents, rate_));
  modulation_.releaseOver(modulation_.level(), timecentsToFrames(kChokeTimecents, rate_));
}

}  // namespace rendlow::audio::soundfont
