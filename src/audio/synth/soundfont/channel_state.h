#pragma once

#include <array>
#include <cstdint>

namespace rendlow::audio::soundfont {

// What a MIDI channel's messages have set: controllers, pitch bend and its range, pressures,
// and the program its next notes play.
class ChannelState {
public:
  static constexpr int kModulation = 1;
  static constexpr int kDataEntry = 6;
  static constexpr int kVolume = 7;
  static constexpr int kPan = 10;
  static constexpr int kExpression = 11;
  static constexpr int kSustain = 64;
  static constexpr int kDataEntryFine = 38;
  static constexpr int kBankSelect = 0;
  static constexpr int kRpnFine = 100;
  static constexpr int kRpnCoarse = 101;

  explicit ChannelState(bool drums = false);

  void control(int controller, int value);
  void resetControllers();
  void programChange(int program) { program_ = program; }
  void pitchBend(int value) { pitchBend_ = value; }
  void channelPressure(int value) { channelPressure_ = value; }
  void keyPressure(int key, int value) { keyPressure_[static_cast<std::size_t>(key & 0x7F)] = value; }

  int controller(int number) const { return controllers_[static_cast<std::size_t>(number & 0x7F)]; }
  int pitchBend() const { return pitchBend_; }
  // The pitch bend range in semitones.
  double bendRange() const { return bendRange_; }
  int channelPressure() const { return channelPressure_; }
  int keyPressure(int key) const { return keyPressure_[static_cast<std::size_t>(key & 0x7F)]; }
  bool sustained() const { return controller(kSustain) >= 64; }
  int program() const { return program_; }
  // The bank of the next notes: 128, the percussion bank, on the drum channel whatever was
  // selected; elsewhere the bank select's coarse value (its fine one, CC32, selects nothing, as
  // in FluidSynth's default).
  int bank() const { return drums_ ? 128 : controller(kBankSelect); }
  bool drums() const { return drums_; }

private:
  void enterData();

  bool drums_;
  std::array<int, 128> controllers_{};
  std::array<int, 128> keyPressure_{};
  int pitchBend_ = 8192;
  double bendRange_ = 2;
  int channelPressure_ = 0;
  int program_ = 0;
};

}  // namespace rendlow::audio::soundfont
