#pragma once

// From the converted song to the sound files its chart names: cut out of the author's own
// renders of the rendering MIDI file, or rendered with the synthesizer; and how faithfully the
// chart then plays the song back.

#include <optional>
#include <string>
#include <vector>

#include "app/progress.h"
#include "audio/cut/sound_output.h"
#include "audio/cut/stem_cutting.h"
#include "audio/fidelity/fidelity.h"
#include "audio/synth/rendering.h"
#include "base/notices.h"
#include "base/result.h"

namespace rendlow {

struct Converted;
struct Song;

struct KeysoundRequest {
  // The folder of the author's stems, one audio file per converted track named by its
  // definition name; none to render the sounds with the synthesizer.
  std::optional<std::string> stemsFolder;
  std::string soundFont;  // for the synthesizer; empty for the first General MIDI one found
  audio::Synth synth = audio::defaultSynth();
  bool ogg = false;       // Ogg Vorbis files, named as the chart's ".wav" names with ".ogg"
  // A recording of the song from its start to measure the chart against; the synthesizer's
  // sounds are measured against the song it renders directly.
  std::optional<std::string> recording;
  // With stems: a folder of the author's renders of each track of the song (not of the rendering
  // file), named like the stems, to measure each track against; the synthesizer's sounds are
  // measured against each track it renders alone.
  std::optional<std::string> trackRecordings;
  // Removes the stale sound files (see staleSoundFiles) rather than tell them.
  bool clean = false;
  // Told as each phase begins and ends; none when nobody watches.
  ProgressReport progress;
};

struct KeysoundReport {
  audio::SoundFilesReport files;
  std::optional<audio::FidelityFigures> fidelity;
  // Each track measured alone, worst first; empty when there was nothing to measure tracks against.
  std::vector<audio::TrackFidelity> trackFidelity;
  // Why the chart's playback could not be measured (a recording unreadable, silent or at another
  // rate), and what its figures warn of (silence, lag, a short reference, clipping), told after
  // the files and the fidelity; the sound files stand all the same.
  Notices measureNotices;
  // Sound files of the chart's folder this chart does not use (see staleSoundFiles): the ones left,
  // and the ones `clean` removed.
  std::vector<std::string> staleFiles;
  std::vector<std::string> removedFiles;
};

// The files in `folder` named as the sounds of the converted tracks would be
// ("<definition name>_NN.wav" or ".ogg", letter case aside) that the chart does not use: sounds of
// an earlier setup, and a ".wav" beside an ".ogg" written under its name, which players would open
// in its place. Their paths, in the folder's order; an empty folder is the working one.
std::vector<std::string> staleSoundFiles(const Converted& converted, const std::string& folder,
                                         audio::AudioFileType written);

// What a keysound job reads, found before any file of the job is written: a job that would stop
// at a missing SoundFont or stems folder must not leave the chart behind without its sounds.
struct KeysoundInputs {
  // The synthesizer's SoundFont, opened once: the check reads it, and the rendering shares it.
  std::optional<audio::SoundFontHold> soundFont;
};

// Checks that the stems folder can be listed or the SoundFont opened, and that the recordings
// to measure against are there: the recording a readable file, the track recordings a folder.
// The problem names the input and why.
Result<KeysoundInputs> checkKeysoundInputs(const KeysoundRequest& request);

// Writes every distinct sound of every converted track of the song, as `converted` and charted
// at `chartPath`, into the chart's folder, then measures the chart's playback when there is
// something to measure it against. The SoundFont of `inputs` is used when it holds one. Stale
// sound files are told in the report, or removed with `clean` before the measure reads the folder.
Result<KeysoundReport> makeKeysounds(const Song& song, const Converted& converted,
                                     const std::string& chartPath, const KeysoundRequest& request,
                                     KeysoundInputs inputs = {});

// The desktop program's "cut from stems" of the song read from `songPath`: every sound cut from
// the stems in `stemsFolder`, measured against the song when the folder holds the author's render
// of it as "<song>_mix.wav" (the MIDI file's name).
KeysoundRequest stemsCutRequest(const std::string& songPath, const std::string& stemsFolder);

// How many of the worst tracks the desktop program's summary shows.
constexpr std::size_t kTracksInSummary = 3;

// What a keysound run tells the user: what it could not do, how many files it wrote where, and
// the fidelity figures (the worst tracks', then the song's), or why there are none, when it
// measured.
Message keysoundSummary(const KeysoundReport& report);

// Each converted track of the rendering MIDI file that has sounds, with its distinct sounds: the #WAV file
// name, where the sound starts (its chain head's note-on as laid out and re-timed) and where the next one
// starts or the track ends; and the rendering file's own tempo map.
std::vector<audio::RenderingFileTrack> renderingFileTracks(const Converted& converted);
audio::TempoMap renderingFileTempoMap(const Song& song, const Converted& converted);

// The song as read, as the synthesizer renders it for a reference: each converted track's own
// events (in file order, with its index in the song) and the song's tempo map.
struct SongAsRead {
  struct Track {
    std::size_t index = 0;
    std::vector<audio::ChannelMessage> events;
  };
  std::vector<Track> tracks;
  audio::TempoMap tempo;
};
SongAsRead songAsRead(const Song& song, const Converted& converted);

}  // namespace rendlow
