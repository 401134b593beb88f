#pragma once

// One song, one run: a run holds a lock beside the song's settings file for its whole job (the
// three files and the sound files alike), so two runs never mix their outputs. The command line
// waits for it, or stops; the desktop program, which must keep answering, stops and says why.

#include <functional>
#include <optional>
#include <string>

#include "base/file_lock.h"
#include "base/message.h"
#include "base/result.h"

namespace rendlow {

// The lock of the song a run's input stands for (a MIDI file, or the settings file that names
// one): beside the settings file, its name and ".lock".
std::string runLockPathFor(const std::string& input);

enum class LockWait { Wait, DoNotWait };

// Takes the lock at `lockPath`. Held by another run: with Wait, tells so once through `tell` and
// tries again until it is free; with DoNotWait, a problem. A lock left by a process that ended is
// taken over and told. Nothing when no lock can be made there (a folder that cannot be written):
// no run can write there either, and its own output tells why. An interrupt noted while waiting is
// a problem, saying nothing was written.
Result<std::optional<FileLock>> takeRunLock(const std::string& lockPath, LockWait wait,
                                            const std::function<void(const Message&)>& tell);

}  // namespace rendlow
