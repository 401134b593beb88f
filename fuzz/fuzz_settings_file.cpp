// The settings-file reader on arbitrary text: a settings file someone edited by hand must neither
// crash the program nor yield a text longer than the program stores.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/settings_file.h"
#include "base/text.h"
#include "fuzz_support/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace rendlow;
  const std::string path = fuzz::writeScratchFile("input.txt", data, size);
  const Result<SettingsFileContents> contents = loadSettings(path);
  if (!contents) std::abort();  // the file exists: it must be read
  for (const std::string* text : {&contents->genre, &contents->title, &contents->artist}) {
    if (text->size() > kMaxTextBytes) std::abort();
  }
  for (const TrackSettings& record : contents->records) {
    if (record.trackName.size() > kMaxTextBytes || record.definitionName.size() > kMaxTextBytes) std::abort();
  }
  return 0;
}
