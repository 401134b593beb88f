#include "fuzz_support/scratch_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace rendlow::fuzz {

namespace fs = std::filesystem;

namespace {

// The process's own folder, in memory where there is room for it, removed when the run ends
// so that runs do not leave their inputs behind; a crash leaves it, beside the crash's report.
class ScratchFolder {
public:
  ScratchFolder() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    path_ = (base / ("rendlow-fuzz-" + std::to_string(::getpid()))).string();
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

}  // namespace

const std::string& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path();
}

std::string writeScratchFile(const std::string& name, const uint8_t* data, std::size_t size) {
  const std::string path = scratchFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace rendlow::fuzz
