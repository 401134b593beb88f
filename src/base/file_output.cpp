#include "base/file_output.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/interruption.h"
#include "base/messages.h"
#include "base/messages_run.h"
#include "base/path_names.h"
#include "base/platform.h"

namespace rendlow {

namespace {

Problem systemProblem() { return {writeReason(errno)}; }

// A short hidden name beside the target, unique to this process and this write: a target whose
// name is as long as the file system allows still has room, and two runs never share one.
std::string temporaryBeside(const std::string& target) {
  static std::atomic<unsigned> written{0};
  const std::string name =
      ".rendlow-" + std::to_string(processId()) + "-" + std::to_string(written.fetch_add(1)) + ".tmp";
  return pathIn(std::string(folderOf(target)), name);
}

std::optional<Problem> interrupted() {
  const int signal = interruptSignal();
  if (signal == 0) return std::nullopt;
  return Problem{interruptedReason(interruptName(signal))};
}

// A file's new contents, complete under a temporary name beside the file they replace.
struct StagedFile {
  std::string target;
  std::string temporary;
};

Result<StagedFile> stage(const std::string& path, std::string_view contents, FileMode mode) {
  if (path.empty()) return Problem{noFileNameReason()};
  // Through a link the file it points to is replaced, from beside it, so the link stays a link.
  StagedFile staged{linkTarget(path), {}};
  staged.temporary = temporaryBeside(staged.target);
  // stdio in text mode does the line-end translation of the platform, as the format asks.
  std::FILE* file = openFile(staged.temporary, mode == FileMode::Text ? "w" : "wb");
  if (!file) return systemProblem();
  // Before any byte is written: contents kept from others stay so from the start.
  copyFileMode(staged.target, staged.temporary);
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  const Problem writeProblem = written ? Problem{} : systemProblem();
  const bool closed = std::fclose(file) == 0;
  std::optional<Problem> problem;
  if (!written || !closed) problem = written ? systemProblem() : writeProblem;
  if (!problem) problem = interrupted();
  if (!problem) return staged;
  removeFile(staged.temporary);
  return *problem;
}

// The old file of a staged one, kept under a second name while the new one takes its place;
// empty when there was none.
Result<std::string> keepAside(const StagedFile& staged) {
  std::string aside = temporaryBeside(staged.target);
  if (addFileName(staged.target, aside)) return aside;
  const Problem problem = systemProblem();
  if (errno == ENOENT) return std::string();
  // A file system without links (FAT) has the old file moved aside: its name is empty a moment.
  const OutputSpot spot = outputSpot(staged.target);
  const bool file = spot == OutputSpot::WritableFile || spot == OutputSpot::ReadOnlyFile;
  if (file && replaceFile(staged.target, aside)) return aside;
  return problem;
}

// Puts back what was there before a file was put in place: the old file, or nothing.
void putBack(const StagedFile& staged, const std::string& aside) {
  if (aside.empty())
    removeFile(staged.target);
  else
    replaceFile(aside, staged.target);
}

}  // namespace

Result<void> writeFileAtomically(const std::string& path, std::string_view contents, FileMode mode) {
  Result<StagedFile> staged = stage(path, contents, mode);
  if (!staged) return staged.problem();
  if (!replaceFile(staged->temporary, staged->target)) {
    const Problem problem = systemProblem();
    removeFile(staged->temporary);
    return problem;
  }
  return {};
}

std::optional<FailedFile> writeFilesTogether(std::span<const FileToWrite> files) {
  std::vector<StagedFile> staged;
  const auto fail = [&staged](std::size_t index, Problem problem) {
    for (const StagedFile& file : staged) removeFile(file.temporary);
    return FailedFile{index, std::move(problem)};
  };
  for (const FileToWrite& file : files) {
    Result<StagedFile> written = stage(file.path, file.contents, file.mode);
    if (!written) return fail(staged.size(), written.problem());
    staged.push_back(std::move(written).value());
  }
  std::vector<std::string> asides;
  const auto undo = [&](std::size_t index, Problem problem) {
    for (std::size_t i = 0; i < asides.size(); ++i) putBack(staged[i], asides[i]);
    return fail(index, std::move(problem));
  };
  for (std::size_t i = 0; i < staged.size(); ++i) {
    if (std::optional<Problem> stop = interrupted()) return undo(i, *stop);
    Result<std::string> aside = keepAside(staged[i]);
    if (!aside) return undo(i, aside.problem());
    if (!replaceFile(staged[i].temporary, staged[i].target)) {
      const Problem problem = systemProblem();
      if (!aside->empty()) removeFile(*aside);
      return undo(i, problem);
    }
    asides.push_back(std::move(aside).value());
  }
  for (const std::string& aside : asides)
    if (!aside.empty()) removeFile(aside);
  return std::nullopt;
}

}  // namespace rendlow
