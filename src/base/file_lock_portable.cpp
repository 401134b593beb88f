#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/file_lock.h"
#include "base/platform.h"

namespace rendlow {

namespace {

std::string contentsOf(int descriptor) {
  std::string contents;
  char buffer[64];
  ssize_t got = 0;
  // A lock file holds one short number; more than a little is not ours and is not read on.
  while (contents.size() < 256 && (got = pread(descriptor, buffer, sizeof buffer, contents.size())) > 0)
    contents.append(buffer, static_cast<std::size_t>(got));
  return contents;
}

// The holder before us removes the file as it lets go: a lock taken on the file it removed
// guards nothing, since a third process can make a new one under the name.
bool stillNamed(int descriptor, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return fstat(descriptor, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void writeHolder(int descriptor) {
  const std::string number = std::to_string(processId()) + "\n";
  if (ftruncate(descriptor, 0) == 0) (void)!pwrite(descriptor, number.data(), number.size(), 0);
}

}  // namespace

void FileLock::release() {
  if (handle_ < 0) return;
  // Removed while still held, so no one takes a lock on a file about to vanish.
  unlink(systemPath(path_).c_str());
  close(static_cast<int>(handle_));
  handle_ = -1;
}

LockAttempt tryLockFile(const std::string& path) {
  const std::string name = systemPath(path);
  // Each retry follows a holder that let go between our opening and our locking.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int descriptor = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) return LockAttempt::failed(errno);
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      LockAttempt refused = error == EWOULDBLOCK ? LockAttempt::heldBy(holderIn(contentsOf(descriptor)))
                                                 : LockAttempt::failed(error);
      close(descriptor);
      return refused;
    }
    if (!stillNamed(descriptor, name)) {
      close(descriptor);
      continue;
    }
    const std::string found = contentsOf(descriptor);
    writeHolder(descriptor);
    return LockAttempt::taken(FileLock(path, descriptor, found));
  }
  return LockAttempt::heldBy({});
}

}  // namespace rendlow
