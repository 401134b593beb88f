#include "app/slicing_cost.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/diagnostics.h"
#include "slicer/note_extraction.h"

namespace rendlow {

namespace {

constexpr int32_t kVolume = 7;
constexpr int32_t kExpression = 11;
// A controller that does not set loudness (pan, modulation, …) moves the sound less: a step
// across its whole range counts as much as halving the amplitude.
constexpr double kOtherControllerDbPerValue = 6.0 / 127.0;
// A sound cut off loses at most this much: beyond it the rest of the sound is faint anyway.
constexpr double kMostCutDb = 20.0;

double amplitudeDb(int32_t a, int32_t b) {
  // General MIDI instruments follow velocity, volume and expression as a square law.
  return std::abs(40.0 * std::log10(std::max(a, 1) / static_cast<double>(std::max(b, 1))));
}

class MismatchOf {
public:
  MismatchOf(const MidiTrack& track, const SlicedTrack& sliced, std::span<const Tempo> tempos)
      : events_(track.events, sliced), sliced_(sliced), tempos_(tempos) {}

  // How far `note` strays from `sound`, the note that was rendered for it.
  double between(const Note& note, const Note& sound) const {
    return amplitudeDb(note.velocity, sound.velocity) + lengthDb(note, sound) + controllersDb(note, sound);
  }

  // The length a note sounds, in quarter notes per beat of its tempo; 1 tick more, so a note of
  // no length compares too.
  double beats(const Note& note) const {
    const int32_t tempo = events_[static_cast<std::size_t>(note.noteOn)].tempo;
    const double bpm = tempo == kNone ? 120.0 : tempos_[static_cast<std::size_t>(tempo)].bpm;
    return (note.duration + 1.0) / std::max(bpm, 1e-3);
  }

private:
  double lengthDb(const Note& note, const Note& sound) const {
    return std::abs(20.0 * std::log10(beats(note) / beats(sound)));
  }

  double controllersDb(const Note& note, const Note& sound) const {
    const std::span<const int32_t> a = sliced_.controlState(note);
    const std::span<const int32_t> b = sliced_.controlState(sound);
    double db = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
      const int32_t number = sliced_.controllerNumbers[i];
      db += number == kVolume || number == kExpression ? amplitudeDb(a[i], b[i])
                                                       : std::abs(a[i] - b[i]) * kOtherControllerDbPerValue;
    }
    return db;
  }

  SlicedEvents events_;
  const SlicedTrack& sliced_;
  std::span<const Tempo> tempos_;
};

// The note of the sound's first chain that a note of another chain was matched with: at the same
// distance from its head, of the same pitch.
const Note& renderedFor(const std::vector<Note>& notes, std::size_t soundHead, const Note& note,
                        int32_t offset) {
  for (std::size_t i = soundHead; i < notes.size() && (i == soundHead || !notes[i].isHead()); ++i) {
    if (notes[i].tick - notes[soundHead].tick == offset && notes[i].pitch == note.pitch) return notes[i];
  }
  return notes[soundHead];
}

// Where a chain's id starts again before the chain's rendered sound has ended, the player cuts it.
double cutOffDb(const std::vector<Note>& notes, const std::vector<std::size_t>& soundHeads) {
  std::vector<int64_t> lastStart(notes.size(), -1);  // per definition
  std::vector<int64_t> lastEnd(notes.size(), -1);
  double db = 0;
  for (const Note& head : notes) {
    if (!head.isHead() || head.definition < 0) continue;
    const auto d = static_cast<std::size_t>(head.definition);
    if (lastStart[d] >= 0 && head.tick < lastEnd[d]) {
      const double played = static_cast<double>(head.tick - lastStart[d]) + 1.0;
      const double full = static_cast<double>(lastEnd[d] - lastStart[d]) + 1.0;
      db += std::min(kMostCutDb, 20.0 * std::log10(full / played));
    }
    const Note& sound = notes[soundHeads[static_cast<std::size_t>(head.sound)]];
    lastStart[d] = head.tick;
    lastEnd[d] = int64_t{head.tick} + sound.duration;
  }
  return db;
}

}  // namespace

SlicingMeasure measureSliced(const MidiTrack& track, const SlicedTrack& sliced,
                             std::span<const Tempo> tempos) {
  const std::vector<Note>& notes = sliced.notes;
  SlicingMeasure measure;
  measure.notes = notes.size();
  std::vector<std::size_t> soundHeads;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const Note& note = notes[i];
    measure.definitions = std::max(measure.definitions, note.definition + 1);
    if (note.isHead() && note.firstOccurrence) soundHeads.push_back(i);
  }
  const MismatchOf mismatch(track, sliced, tempos);
  std::size_t head = 0;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const Note& note = notes[i];
    if (note.isHead()) head = i;
    if (note.firstOccurrence || note.sound < 0) continue;
    const std::size_t soundHead = soundHeads[static_cast<std::size_t>(note.sound)];
    measure.mismatchDb +=
        mismatch.between(note, renderedFor(notes, soundHead, note, note.tick - notes[head].tick));
  }
  measure.mismatchDb += cutOffDb(notes, soundHeads);
  return measure;
}

SlicingMeasure measureSlicing(const MidiTrack& track, const TrackSettings& settings,
                              std::span<const Tempo> tempos) {
  Diagnostics silent;
  const SlicedTrack sliced = extractNotes(track, settings, tempos, silent);
  return measureSliced(track, sliced, tempos);
}

}  // namespace rendlow
