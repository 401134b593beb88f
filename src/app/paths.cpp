#include "app/paths.h"

#include "base/text.h"

namespace rendlow {

namespace {

constexpr std::size_t kExtensionBytes = 4;

}  // namespace

std::string settingsPathFor(std::string_view midiPath) {
  // Searched as text of the system code page: a trail byte equal to '.' is not a dot.
  const std::size_t dot = findLastChar(midiPath, '.');
  return std::string(midiPath.substr(0, dot)) + ".txt";
}

std::string outputNameFor(std::string_view inputText) {
  if (inputText.size() <= 5) return std::string(inputText);
  std::string name(inputText.substr(0, inputText.size() - kExtensionBytes));
  name += "_out.mid";
  return boundedText(name);
}

std::optional<std::string> chartPathFor(std::string_view outputPath) {
  if (outputPath.size() <= kExtensionBytes) return std::nullopt;
  return std::string(outputPath.substr(0, outputPath.size() - kExtensionBytes)) + ".bme";
}

bool isSettingsFilePath(std::string_view path) {
  const std::size_t dot = findLastChar(path, '.');
  return dot != std::string_view::npos && path.substr(dot, 4) == ".txt";
}

}  // namespace rendlow
