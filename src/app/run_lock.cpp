#include "app/run_lock.h"

#include <thread>

#include "app/paths.h"
#include "base/interruption.h"
#include "base/messages_run.h"

namespace rendlow {

namespace {

// Short enough that the wait ends soon after the other run, long enough to cost nothing. (<thread>
// brings the durations; <chrono> itself holds a literal the program's code page cannot hold.)
constexpr std::chrono::milliseconds kRetry{50};

}  // namespace

std::string runLockPathFor(const std::string& input) {
  return (isSettingsFilePath(input) ? input : settingsPathFor(input)) + ".lock";
}

Result<std::optional<FileLock>> takeRunLock(const std::string& lockPath, LockWait wait,
                                            const std::function<void(const Message&)>& tell) {
  bool told = false;
  for (;;) {
    LockAttempt attempt = tryLockFile(lockPath);
    if (attempt.lock) {
      if (attempt.lock->staleFound()) tell(staleLockTakenMessage(lockPath, attempt.lock->leftBy()));
      return std::optional<FileLock>(std::move(*attempt.lock));
    }
    if (!attempt.busy) return std::optional<FileLock>();
    if (wait == LockWait::DoNotWait) return Problem{runBusyMessage(lockPath, attempt.holder)};
    if (!told) tell(waitingForRunMessage(lockPath, attempt.holder));
    told = true;
    std::this_thread::sleep_for(kRetry);
    if (const int signal = interruptSignal())
      return Problem{interruptedWhileWaitingMessage(interruptName(signal))};
  }
}

}  // namespace rendlow
