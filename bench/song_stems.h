#pragma once

// The stems of a song as an author's sequencer renders them: the song converted in this process
// with the defaults, then each track of its rendering MIDI file rendered alone from its start.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/application.h"
#include "app/job.h"
#include "app/keysounds.h"
#include "app/memory_form.h"
#include "audio/io/audio_backend.h"

namespace rendlow::bench {

// Writes "<definition name>.wav" for each track into `folder`, with `soundFont` (empty for the
// first one installed), and gives the song's rows, or ends the benchmark saying what failed.
inline int renderStems(const std::string& song, const std::string& folder, const std::string& soundFont) {
  Application app;
  MemoryForm form;
  JobRequest request;
  request.input = song;
  request.useSavedSettings = false;
  const Result<JobReport> job = runJob(app, form, request);
  if (!job || !job->output || !job->output->ok()) {
    std::fprintf(stderr, "the job on %s failed\n", song.c_str());
    std::exit(1);
  }
  const Converted& converted = *job->output->converted;
  const audio::TempoMap tempo = renderingFileTempoMap(app.project.song, converted);
  for (const audio::RenderingFileTrack& track : renderingFileTracks(converted)) {
    const Result<audio::AudioBuffer> stem = audio::renderTrackAudio(track, tempo, soundFont);
    if (!stem || !audio::builtinBackend().write(folder + "/" + track.stemName + ".wav", *stem, audio::AudioFileType::Wav)) {
      std::fprintf(stderr, "cannot render the stem of %s\n", track.stemName.c_str());
      std::exit(1);
    }
  }
  return static_cast<int>(app.project.listedTracks().size());
}

}  // namespace rendlow::bench
