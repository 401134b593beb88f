#include "cli/input_check.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/application.h"
#include "core/load_flow.h"
#include "base/messages.h"
#include "core/midi_file_check.h"
#include "base/text.h"

namespace rendlow::cli {

namespace {

// Why the settings file cannot be read, or nothing when it can.
std::optional<std::string> settingsFileProblem(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return folderReason();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return readReason(errno);
  std::fclose(file);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> loadProblem(std::string_view input, const Application& app) {
  const std::string path = boundedText(input);
  if (!isSettingsFilePath(path)) {
    if (auto reason = midiFileProblem(app.loadedMidiPath))
      return midiNotLoadedMessage(app.loadedMidiPath, *reason);
    return std::nullopt;
  }
  if (auto reason = settingsFileProblem(path)) return settingsUnreadableMessage(path, *reason);
  if (app.loadedMidiPath.empty()) return settingsUnreadableMessage(path, noMidiNamedReason());
  if (auto reason = midiFileProblem(app.loadedMidiPath)) {
    return midiNotLoadedMessage(app.loadedMidiPath, *reason, path);
  }
  return std::nullopt;
}

}  // namespace rendlow::cli
