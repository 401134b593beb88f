// The MIDI reader on arbitrary bytes: whatever a sequencer exported, reading must end, stay inside
// the file and keep a consistent song.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/application.h"
#include "fuzz_support/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string path = rendlow::fuzz::writeScratchFile("input.mid", data, size);
  rendlow::Application app;
  app.readMidiFile(path);
  for (const auto& track : app.project.tracks) {
    for (std::size_t i = 0; i < track->events.size(); ++i) {
      const auto& event = *track->events[i];
      // Every event is numbered by its place and lies within the song.
      if (event.index != static_cast<int32_t>(i) || event.tick < 0 || event.tick > app.project.songEnd) std::abort();
      if (static_cast<std::size_t>(event.length) != event.data.size() && event.metaType != rendlow::kMetaEndOfTrack) std::abort();
    }
  }
  return 0;
}
