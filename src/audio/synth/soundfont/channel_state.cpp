#include "audio/synth/soundfont/channel_state.h"

namespace rendlow::audio::soundfont {

namespace {

constexpr int kResetAllControllers = 121;
constexpr int kNoParameter = 127;

}  // namespace

ChannelState::ChannelState(bool drums) : drums_(drums) {
  controllers_[kVolume] = 100;
  controllers_[kPan] = 64;
  resetControllers();
}

// As General MIDI asks: volume, pan and the bank stay; the rest goes back to where it starts.
void ChannelState::resetControllers() {
  for (int number = 0; number < 128; ++number) {
    if (number != kVolume && number != kPan && number != kBankSelect && number != 32) {
      controllers_[static_cast<std::size_t>(number)] = 0;
    }
  }
  controllers_[kExpression] = 127;
  controllers_[kRpnCoarse] = kNoParameter;
  controllers_[kRpnFine] = kNoParameter;
  keyPressure_.fill(0);
  pitchBend_ = 8192;
  channelPressure_ = 0;
}

void ChannelState::control(int controller, int value) {
  if (controller == kResetAllControllers) {
    resetControllers();
    return;
  }
  controllers_[static_cast<std::size_t>(controller & 0x7F)] = value & 0x7F;
  if (controller == kDataEntry || controller == kDataEntryFine) enterData();
}

// Registered parameter 0, the pitch bend range: semitones coarse, cents fine.
void ChannelState::enterData() {
  if (controllers_[kRpnCoarse] != 0 || controllers_[kRpnFine] != 0) return;
  bendRange_ = controllers_[kDataEntry] + controllers_[kDataEntryFine] / 100.0;
}

}  // namespace rendlow::audio::soundfont
