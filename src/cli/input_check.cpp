#include "cli/input_check.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/application.h"
#include "core/load_flow.h"
#include "core/text.h"

namespace rendlow::cli {

namespace {

constexpr std::size_t kHeaderBytes = 14;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file open for reading, or the reason it could not be opened.
struct OpenedFile {
  std::unique_ptr<std::FILE, FileCloser> file;
  std::string problem;
};

std::string inQuotes(std::string_view path) { return "\"" + std::string(path) + "\""; }

OpenedFile openForReading(const std::string& path) {
  std::error_code ignored;
  // A folder opens as a file on some systems and only fails when read.
  if (std::filesystem::is_directory(path, ignored))
    return {nullptr, "cannot open " + inQuotes(path) + ": it is a folder"};
  OpenedFile opened{std::unique_ptr<std::FILE, FileCloser>(std::fopen(path.c_str(), "rb")), {}};
  if (!opened.file) opened.problem = "cannot open " + inQuotes(path) + ": " + std::strerror(errno);
  return opened;
}

}  // namespace

std::optional<std::string> midiFileProblem(const std::string& path) {
  const OpenedFile opened = openForReading(path);
  if (!opened.file) return opened.problem;
  unsigned char header[kHeaderBytes];
  const std::size_t read = std::fread(header, 1, sizeof header, opened.file.get());
  if (read < 4 || std::memcmp(header, "MThd", 4) != 0) {
    return inQuotes(path) + " is not a MIDI file: it does not start with \"MThd\"";
  }
  if (read < kHeaderBytes) return inQuotes(path) + " is not a MIDI file: its header is cut short";
  const auto division = static_cast<int16_t>((header[12] << 8) | header[13]);
  if (division <= 0) {
    return inQuotes(path) + " is not supported: its division is " + std::to_string(division) +
           ", not a number of ticks per quarter note";
  }
  return std::nullopt;
}

std::optional<std::string> loadProblem(std::string_view input, const Application& app) {
  const std::string path = boundedText(input);
  if (!isSettingsFilePath(path)) return midiFileProblem(app.loadedMidiPath);

  const OpenedFile settings = openForReading(path);
  if (!settings.file) return settings.problem;
  if (app.loadedMidiPath.empty())
    return "settings file " + inQuotes(path) + " names no MIDI file (no \"i\" line)";
  if (auto problem = midiFileProblem(app.loadedMidiPath)) {
    return *problem + " (named by settings file " + inQuotes(path) + ")";
  }
  return std::nullopt;
}

}  // namespace rendlow::cli
