#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A lock file only one process holds at a time, taken through the system's own locks (flock, or a
// file opened without sharing on Windows), which end with the process however it ends: a lock of a
// process that died is free at once. The file holds the holder's process number, so whoever waits
// can say whom for, and a file still there when the lock is free tells that its holder died.
namespace rendlow {

class FileLock {
public:
  // Holds `handle` (the system's, locked) of the file at `path`, whose contents were `found`.
  FileLock(std::string path, std::intptr_t handle, const std::string& found);
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Releases the lock and removes its file.
  ~FileLock();

  // A lock file was there, left by a process that ended without removing it.
  bool staleFound() const { return staleFound_; }
  // The process number that file held, or "" when it held none.
  const std::string& leftBy() const { return leftBy_; }

private:
  void release();

  std::string path_;
  std::intptr_t handle_ = -1;
  std::string leftBy_;
  bool staleFound_ = false;
};

// What trying to take a lock came to: held, held by another process, or not possible at all.
// The process number a lock file's contents hold, or "" when they hold none.
std::string holderIn(const std::string& contents);

struct LockAttempt {
  std::optional<FileLock> lock;
  bool busy = false;
  std::string holder;   // when busy: the process number the holder wrote, or ""
  int errorNumber = 0;  // neither held nor busy: the errno value that says why

  static LockAttempt taken(FileLock lock);
  static LockAttempt heldBy(std::string holder);
  static LockAttempt failed(int errorNumber);
};

// Tries once, without waiting.
LockAttempt tryLockFile(const std::string& path);

}  // namespace rendlow
