#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

namespace rendlow::test {

// A private folder for one test's files, removed with everything in it when the test ends.
class TempDir {
public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = (std::filesystem::temp_directory_path() /
             ("rendlow-test-" + std::to_string(stamp) + "-" + std::to_string(counter++))).string();
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of a file inside the folder, with the platform's separator.
  std::string file(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

private:
  std::string path_;
};

// Runs the process in a folder for as long as it lives.
class WorkingFolder {
public:
  explicit WorkingFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(previous_); }

private:
  std::filesystem::path previous_;
};

}  // namespace rendlow::test
