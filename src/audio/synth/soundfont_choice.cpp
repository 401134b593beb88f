#include "audio/synth/soundfont_choice.h"

#include "base/file_input.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

const std::vector<std::string>& defaultSoundFonts() {
  static const std::vector<std::string> paths{"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                              "/usr/share/sounds/sf2/default-GM.sf2",
                                              "/usr/share/sounds/sf2/TimGM6mb.sf2"};
  return paths;
}

Result<std::string> chooseSoundFont(const std::string& explicitPath) {
  if (!explicitPath.empty()) {
    if (fileExists(explicitPath)) return explicitPath;
    return Problem{soundFontMissingMessage(explicitPath)};
  }
  for (const std::string& path : defaultSoundFonts()) {
    if (fileExists(path)) return path;
  }
  return Problem{noSoundFontFoundMessage(defaultSoundFonts())};
}

}  // namespace rendlow::audio
