#include "midi/meta_events.h"

#include <cmath>

#include "base/text.h"

namespace rendlow {

namespace {

// 2 to a higher power does not fit a signed 32-bit denominator; such a time signature stores 0,
// which the measure grid treats as unusable.
constexpr int32_t kMaxDenominatorExponent = 30;

}  // namespace

void SongMeta::apply(MidiTrack& track, MidiEvent& event) {
  switch (event.metaType) {
    case kMetaTrackName: {
      const auto text = song_.dataOf(event);
      track.name = boundedText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
      diagnostics_.print("Name: %s\n", track.name.c_str());
      break;
    }
    case kMetaTempo:
      if (!setsNoTempo(event)) addTempo(event);
      break;
    case kMetaTimeSignature:
      addTimeSignature(event);
      break;
    default:
      break;
  }
}

void SongMeta::addTempo(MidiEvent& event) {
  // Single precision throughout: later stages compare tempos as these very floats.
  const int32_t microseconds = tempoMicroseconds(song_, event);
  const float bpm = 60.0f / (static_cast<float>(microseconds) / 1000000.0f);
  diagnostics_.print("Set BPM: %f\n", static_cast<double>(bpm));
  Tempo tempo;
  tempo.track = static_cast<int32_t>(song_.tracks.size() - 1);
  tempo.event = static_cast<int32_t>(song_.tracks.back().events.size());
  tempo.bpm = bpm;
  tempo.microseconds = microseconds;
  tempo.tick = event.tick;
  tempo.index = static_cast<int32_t>(song_.tempos.size());
  song_.tempos.push_back(tempo);
  tempoIndex_.append(tempo.tick);
  event.tempo = tempo.index;
}

void SongMeta::addTimeSignature(MidiEvent& event) {
  TimeSignature beat;
  beat.numerator = event.signedData(0);
  const int32_t exponent = event.signedData(1);
  beat.denominator = exponent > kMaxDenominatorExponent
                         ? 0
                         : static_cast<int32_t>(std::pow(2.0, static_cast<double>(exponent)));
  diagnostics_.print("Set Mesauge: %d/%d\n", beat.numerator, beat.denominator);
  beat.tick = event.tick;
  song_.timeSignatures.push_back(beat);
}

// The tempo change in effect at the event's tick, as far as the file has been read. A Set Tempo
// event keeps the record it has just made, even where the scan would stop at an earlier one:
// pointing it at another record would make the re-timing treat that record as following itself.
void SongMeta::linkTempo(MidiEvent& event) {
  if (event.isMeta(kMetaTempo)) return;
  if (const auto at = tempoIndex_.find(event.tick)) event.tempo = static_cast<int32_t>(*at);
}

bool SongMeta::setsNoTempo(const MidiEvent& event) const {
  return event.isMeta(kMetaTempo) && tempoMicroseconds(song_, event) == 0;
}

}  // namespace rendlow
