#include "fuzz_support/scratch_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace rendlow::fuzz {

namespace fs = std::filesystem;

const std::string& scratchFolder() {
  static const std::string folder = [] {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("rendlow-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir.string();
  }();
  return folder;
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
