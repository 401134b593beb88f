// Writes the stems an author would render from a rendering MIDI file: one mono 16-bit file per
// track that plays notes, noise from each note-on to its note-off and 30 ms on, silence
// elsewhere, and 1 s of silence after the track's last event. Noise differs from place to place,
// so a sound cut from the wrong place differs too; the silences let the cut's check see that the
// stems belong to this rendering file. The desktop program's end-to-end test cuts from them.
//
// Usage: make_stems RENDERING.mid FOLDER NAME...   (one NAME per track that plays, in file order)

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/io/audio_backend.h"
#include "audio/synth/tempo_map.h"
#include "base/diagnostics.h"
#include "midi/midi_reader.h"

namespace {

using namespace rendlow;

constexpr int32_t kRate = 8000;
constexpr double kRelease = 0.030;

audio::TempoMap tempoMapOf(const Song& song) {
  std::vector<audio::TempoChange> changes;
  for (const Tempo& tempo : song.tempos) changes.push_back({tempo.tick, tempo.microseconds});
  return audio::TempoMap(song.header.division, std::move(changes));
}

// Noise from `on` to `off` seconds and the release after, from a generator that goes on where the
// last note left it.
void addNoise(std::vector<float>& samples, double on, double off, uint32_t& state) {
  const auto first = static_cast<std::size_t>(audio::frameAt(on, kRate));
  const auto last = std::min(samples.size(), static_cast<std::size_t>(audio::frameAt(off + kRelease, kRate)));
  for (std::size_t f = first; f < last; ++f) {
    state = state * 1664525u + 1013904223u;
    samples[f] = 0.25f * (static_cast<float>(state >> 8) / static_cast<float>(1u << 24) - 0.5f);
  }
}

std::vector<float> stemOf(const MidiTrack& track, const audio::TempoMap& tempo, uint32_t seed) {
  const int64_t end = track.events.empty() ? 0 : track.events.back().tick;
  std::vector<float> samples(static_cast<std::size_t>(audio::frameAt(tempo.secondsAt(end) + 1.0, kRate)), 0.0f);
  std::vector<double> onAt(128, -1.0);
  for (const MidiEvent& event : track.events) {
    const int key = event.signedData(0) & 0x7F;
    if (event.startsNote()) {
      onAt[key] = tempo.secondsAt(event.tick);
    } else if (event.endsNote() && onAt[key] >= 0) {
      addNoise(samples, onAt[key], tempo.secondsAt(event.tick), seed);
      onAt[key] = -1.0;
    }
  }
  return samples;
}

bool playsNotes(const MidiTrack& track) {
  for (const MidiEvent& event : track.events)
    if (event.startsNote()) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_stems RENDERING.mid FOLDER NAME...\n");
    return 2;
  }
  RunningStatus status;
  Diagnostics quiet;
  const Result<Song> song = readMidiFile(argv[1], status, quiet);
  if (!song) {
    std::fprintf(stderr, "make_stems: cannot read %s\n", argv[1]);
    return 1;
  }
  const audio::TempoMap tempo = tempoMapOf(*song);
  int name = 3;
  for (const MidiTrack& track : song->tracks) {
    if (!playsNotes(track)) continue;
    if (name >= argc) break;
    const std::string path = std::string(argv[2]) + "/" + argv[name] + ".wav";
    const audio::AudioBuffer stem{kRate, 1, stemOf(track, tempo, static_cast<uint32_t>(name))};
    if (!audio::builtinBackend().write(path, stem, audio::AudioFileType::Wav)) {
      std::fprintf(stderr, "make_stems: cannot write %s\n", path.c_str());
      return 1;
    }
    ++name;
  }
  return 0;
}
