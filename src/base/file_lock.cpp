#include "base/file_lock.h"

#include <algorithm>
#include <utility>

namespace rendlow {

FileLock::FileLock(std::string path, std::intptr_t handle, const std::string& found)
    : path_(std::move(path)), handle_(handle), leftBy_(holderIn(found)), staleFound_(!found.empty()) {}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, -1)),
      leftBy_(std::move(other.leftBy_)),
      staleFound_(other.staleFound_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, -1);
    leftBy_ = std::move(other.leftBy_);
    staleFound_ = other.staleFound_;
  }
  return *this;
}

FileLock::~FileLock() { release(); }

LockAttempt LockAttempt::taken(FileLock lock) {
  LockAttempt attempt;
  attempt.lock.emplace(std::move(lock));
  return attempt;
}

LockAttempt LockAttempt::heldBy(std::string holder) {
  LockAttempt attempt;
  attempt.busy = true;
  attempt.holder = std::move(holder);
  return attempt;
}

LockAttempt LockAttempt::failed(int errorNumber) {
  LockAttempt attempt;
  attempt.errorNumber = errorNumber;
  return attempt;
}

std::string holderIn(const std::string& contents) {
  // A number of a few digits, or the file is not one this program wrote.
  std::string holder = contents;
  while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\r')) holder.pop_back();
  const bool number = !holder.empty() && holder.size() <= 20 &&
                      std::all_of(holder.begin(), holder.end(), [](char c) { return c >= '0' && c <= '9'; });
  return number ? holder : std::string();
}

}  // namespace rendlow
