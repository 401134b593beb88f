#pragma once

// The catalogue's texts about one run of the program as a whole: the lock that keeps two runs off
// one song, and the interrupts that stop a run.

#include <cstdint>
#include <string>

#include "base/message.h"

namespace rendlow {

// --- One song, one run -------------------------------------------------------------------
// `holder` is the process number the lock file holds, or empty when it holds none.
Message waitingForRunMessage(const std::string& lockPath, const std::string& holder);
Message runBusyMessage(const std::string& lockPath, const std::string& holder);
Message staleLockTakenMessage(const std::string& lockPath, const std::string& holder);
// Stopped before the other run let go: nothing was written.
Message interruptedWhileWaitingMessage(const std::string& signal);

// --- Interrupts --------------------------------------------------------------------------
// `signal` is the interrupt's name ("SIGTERM").
// Why a file was not put in place: the run was stopped first.
Message interruptedReason(const std::string& signal);
// The sound files stand as far as they were written.
Message soundsInterruptedMessage(const std::string& signal, int32_t written, const std::string& folder);
// The last word of a run that was stopped.
Message runInterruptedMessage(const std::string& signal);

// Why one of two files written as a pair was left as it was: the other could not be written.
Message pairKeptReason(const std::string& otherPath);

}  // namespace rendlow
