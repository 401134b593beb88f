#pragma once

// What the command line tells the author after a conversion: per converted track how many notes
// it had, how many chart objects and sound files they became, and which #WAV ids the track took.
// These are the figures an author reads to tune the velocity and controller widths.

#include <ostream>
#include <string>
#include <vector>

#include "audio/fidelity/fidelity.h"
#include "base/message.h"

namespace rendlow {
struct Converted;
struct Song;
}  // namespace rendlow

namespace rendlow::cli {

struct TrackReport {
  std::string name;  // empty for a track without one
  std::string definitionName;
  std::size_t notes = 0;
  std::size_t objects = 0;  // one per occurrence of a sound: the chains' heads
  int32_t sounds = 0;       // distinct sounds, the sound files to cut
  int32_t definitions = 0;  // #WAV definitions the track needs
  Message wavIds;           // "01-05", or "-" without a chart or without notes
};

// One entry per converted track (content and enabled), in file order, from the conversion and the
// chart built with it (if any).
std::vector<TrackReport> reportTracks(const Song& song, const Converted& converted);

// The table, one header line and one line per track, columns aligned, each line indented; the
// headings, and a track without a name, in the language of `audience`.
void printTrackTable(std::ostream& out, const std::vector<TrackReport>& tracks, Audience audience);

// The fidelity of each track measured alone, in the order given (worst first, as the report keeps
// them): its name, definition name, log-spectral distance, spectral SNR, and its worst 50 ms and
// when. Nothing without tracks.
void printFidelityTable(std::ostream& out, const std::vector<audio::TrackFidelity>& tracks,
                        Audience audience);

}  // namespace rendlow::cli
