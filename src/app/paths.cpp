#include "app/paths.h"

#include "base/platform.h"
#include "base/text.h"

namespace rendlow {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool isAbsolute(std::string_view path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || (!path.empty() && isSeparator(path[0]));
}

}  // namespace

std::string settingsPathFor(std::string_view midiPath) { return std::string(pathStem(midiPath)) + ".txt"; }

std::string outputNameFor(std::string_view inputText) {
  if (inputText.empty()) return {};
  return boundedText(std::string(pathStem(inputText)) + "_out.mid");
}

std::string renderingPathFor(std::string_view outputName, std::string_view inputPath) {
  // Taken apart as text of the code page: a trail byte may be the same byte as a backslash.
  if (outputName.empty() || !fileNameOf(outputName).empty()) return std::string(outputName);
  return boundedText(std::string(outputName) + outputNameFor(fileNameOf(inputPath)));
}

std::optional<std::string> chartPathFor(std::string_view outputPath) {
  if (outputPath.empty()) return std::nullopt;
  return std::string(pathStem(outputPath)) + ".bme";
}

ChartFormat chartFormatOf(std::string_view outputName) {
  const std::size_t dot = findLastChar(outputName, '.');
  if (dot == std::string_view::npos) return ChartFormat::Bme;
  return caseFolded(outputName.substr(dot)) == ".bmson" ? ChartFormat::Bmson : ChartFormat::Bme;
}

std::string withChartFormat(std::string_view outputName, ChartFormat format) {
  if (outputName.empty() || chartFormatOf(outputName) == format) return std::string(outputName);
  return std::string(pathStem(outputName)) + (format == ChartFormat::Bmson ? ".bmson" : ".mid");
}

// A name without an extension ("busy_chart") names the rendering file all the same, with the
// ".mid" by which players, DAWs and the desktop's open dialog know it.
std::string withMidiExtension(std::string_view outputName) {
  if (outputName.empty() || findLastChar(fileNameOf(outputName), '.') != std::string_view::npos)
    return std::string(outputName);
  return std::string(outputName) + ".mid";
}

OutputPaths outputPathsFor(std::string_view inputPath, std::string_view outputName, bool withChart) {
  const ChartFormat format = chartFormatOf(outputName);
  if (format == ChartFormat::Bme) {
    const std::string rendering = withMidiExtension(outputName);
    return {std::string(outputName), rendering, settingsPathFor(inputPath),
            withChart ? chartPathFor(rendering) : std::nullopt, format};
  }
  return {std::string(outputName), withChartFormat(outputName, ChartFormat::Bme), settingsPathFor(inputPath),
          withChart ? std::optional(std::string(outputName)) : std::nullopt, format};
}

std::string otherFormatChartPath(std::string_view chartPath, ChartFormat format) {
  return std::string(pathStem(chartPath)) + (format == ChartFormat::Bme ? ".bmson" : ".bme");
}

bool looksLikeRenderingFile(std::string_view path) {
  return caseFolded(fileNameOf(path)).ends_with("_out.mid");
}

bool isSettingsFilePath(std::string_view path) {
  const std::size_t dot = findLastChar(path, '.');
  return dot != std::string_view::npos && path.substr(dot, 4) == ".txt";
}

std::string resolveFrom(std::string_view folder, std::string_view path) {
  if (path.empty() || isAbsolute(path)) return std::string(path);
  return std::string(folder) + std::string(path);
}

std::string keptFrom(std::string_view folder, std::string_view path) {
  if (path.empty()) return {};
  const std::string file = absolutePath(std::string(path));
  std::string base = absolutePath(folder.empty() ? std::string(".") : std::string(folder));
  if (base.empty() || !isSeparator(base.back())) base += file.find('\\') != std::string::npos ? '\\' : '/';
  if (file.size() > base.size() && sameSpelling(file.substr(0, base.size()), base))
    return file.substr(base.size());
  return file;
}

bool namesSameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;  // no file
  return sameFile(a, b) || sameSpelling(absolutePath(a), absolutePath(b));
}

}  // namespace rendlow
