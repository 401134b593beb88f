// The whole job on arbitrary input: the first bytes choose each row's settings (split method,
// widths, thresholds, grid, intervals, ignoreBpm), the rest is the MIDI file. The song is loaded,
// converted and written (rendering MIDI file, settings file, chart) into a private folder, and the
// rendering MIDI file must read back as a MIDI file without damage.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/memory_form.h"
#include "app/application.h"
#include "app/load_flow.h"
#include "app/output_flow.h"
#include "fuzz_support/scratch_file.h"

namespace {

using namespace rendlow;

constexpr std::size_t kSettingsBytes = 16;

// Values near the edges as often as ordinary ones: negative, zero, one, small and huge.
int32_t pick(uint8_t byte) {
  static constexpr int32_t kValues[] = {-1, 0, 1, 2, 3, 7, 16, 32, 100, 120, 240, 480, 960, 1920, 65535, 2147483647};
  return kValues[byte & 0x0F];
}

TrackSettings settingsFrom(const uint8_t* b) {
  TrackSettings s;
  s.velocitySplitWidth = pick(b[0]);
  s.ccSplitWidth = pick(b[1]);
  s.noteInterval = pick(b[2]);
  s.gridUnit = pick(b[3]);
  s.multipleThreshold = pick(b[4]);
  s.ccInterval = pick(b[5]);
  s.splitMethod = (b[6] % 5) - 1;  // -1 keeps; 3 acts as Single
  s.ignoreBpm = b[7] & 1;
  s.wavDefinitionGap = pick(b[8]);
  return s;
}

// The reader's damage lines ("Track %d damaged: ..."); a track name may contain the word too.
bool reportsDamage(const std::string& diagnostics) {
  std::istringstream lines(diagnostics);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("Track ") && line.find(" damaged: ") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < kSettingsBytes) return 0;
  const std::string input = fuzz::writeScratchFile("song.mid", data + kSettingsBytes, size - kSettingsBytes);

  Application app;
  cli::MemoryForm form;
  loadFile(app, form, input);
  for (int row = 0; row < static_cast<int>(app.rowSettings.size()); ++row) {
    TrackSettings edit = settingsFrom(data + (row % 2) * 8);
    edit.enabled = row % 3 != 2 || !(data[9] & 1);
    app.applyRowSettings(row, edit);
  }
  const OutputResult result = runOutput(app, form, true, true);

  if (result.midi && result.midi->status) {
    Application reader;
    std::ostringstream lines;
    reader.diagnostics.setStream(&lines);
    if (!reader.readMidiFile(result.midi->path)) std::abort();
    if (reportsDamage(lines.str())) {
      std::fputs(lines.str().c_str(), stderr);  // says which track and why
      std::abort();
    }
  }
  return 0;
}
