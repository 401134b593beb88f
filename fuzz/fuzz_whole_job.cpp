// The whole job on arbitrary input: the first bytes choose each row's settings (split method,
// widths, thresholds, grid, intervals, ignoreBpm), the rest is the MIDI file. The song is loaded,
// converted and written (rendering MIDI file, settings file, chart) into a private folder, and the
// rendering MIDI file must read back as a MIDI file without damage.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/application.h"
#include "app/job.h"
#include "app/memory_form.h"
#include "fuzz_support/scratch_file.h"
#include "midi/midi_reader.h"

namespace {

using namespace rendlow;

constexpr std::size_t kSettingsBytes = 16;

// Values near the edges as often as ordinary ones: zero, one, small and huge.
int32_t pick(uint8_t byte) {
  static constexpr int32_t kValues[] = {0,   0,   1,   2,   3,   7,    16,    32,
                                        100, 120, 240, 480, 960, 1920, 65535, 2147483647};
  return kValues[byte & 0x0F];
}

// Every field of rows 0 to 3, from the settings bytes; a split method of 3 acts as Single.
std::vector<RowEdit> editsFrom(const uint8_t* b) {
  std::vector<RowEdit> edits;
  for (int row = 0; row < 4; ++row) {
    const uint8_t* r = b + (row % 2) * 8;
    for (const TrackField& field : trackSettingsFields()) {
      RowEdit edit{row, &field, "tr", 0};
      if (field.kind == FieldKind::Name) continue;  // the defaults keep the rows apart
      if (field.kind == FieldKind::Flag)
        edit.number = (r[field.name.size() % 8] >> row) & 1;
      else if (field.kind == FieldKind::SplitMethod)
        edit.number = r[6] % 4;
      else
        edit.number = pick(r[field.name.size() % 8]);
      if (field.name == "enabled") edit.number = row % 3 != 2 || !(b[9] & 1);
      edits.push_back(edit);
    }
  }
  return edits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < kSettingsBytes) return 0;
  JobRequest request;
  request.input = fuzz::writeScratchFile("song.mid", data + kSettingsBytes, size - kSettingsBytes);
  // Rows the song does not have are left out, so every song gets the edits it can take.
  Application probe;
  const Result<Song> song = readMidiFile(request.input, probe.runningStatus, probe.diagnostics);
  std::size_t rows = 0;
  if (song) {
    for (std::size_t i = 1; i < song->tracks.size(); ++i) rows += song->tracks[i].hasContent ? 1 : 0;
  }
  for (const RowEdit& edit : editsFrom(data)) {
    if (static_cast<std::size_t>(edit.row) < rows) request.edits.push_back(edit);
  }
  request.useSavedSettings = false;

  Application app;
  MemoryForm form;
  const Result<JobReport> job = runJob(app, form, request);
  if (!job || !job->output || !job->output->renderingWritten()) return 0;
  // What was written must read back as a MIDI file without damage.
  Application reader;
  const Result<Song> written = readMidiFile(job->output->midi->path, reader.runningStatus, reader.diagnostics);
  if (!written || !written->damage.empty()) std::abort();
  return 0;
}
