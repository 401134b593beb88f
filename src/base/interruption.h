#pragma once

#include <string>

// The interrupts that ask a run to stop (SIGHUP, SIGINT, SIGTERM): noted when they come, and
// heeded by the writers at their next step, so a stopped run leaves no temporary file behind and
// can still say what it wrote. The note is the one piece of state the whole process shares, as
// the signal it stands for is the process's.
namespace rendlow {

// From now on an interrupt is noted instead of ending the process at once. A second interrupt of
// the same kind ends it the usual way, for a user who will not wait for the current step.
void noteInterrupts();

// The interrupt noted, or 0 while none came.
int interruptSignal();

// Its name ("SIGTERM"), for the messages that tell why a run stopped.
std::string interruptName(int signal);

}  // namespace rendlow
