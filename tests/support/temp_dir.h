#pragma once

#include <string>

namespace rendlow::test {

// A private folder for one test's files, removed with everything in it when the test ends.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of a file inside the folder, with the platform's separator.
  std::string file(const std::string& name) const;

private:
  std::string path_;
};

}  // namespace rendlow::test
