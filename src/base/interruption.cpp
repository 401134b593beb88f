#include "base/interruption.h"

#include <atomic>
#include <csignal>

namespace rendlow {

namespace {

// Read by every thread and written by the handler: it must be free of locks to be safe there.
std::atomic<int> noted{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void noteInterrupt(int signal) {
  noted.store(signal);
  // Only calls a handler may make: this one is allowed for the signal being handled.
  std::signal(signal, SIG_DFL);
}

constexpr int kInterrupts[] = {
#ifdef SIGHUP
    SIGHUP,
#endif
    SIGINT, SIGTERM};

}  // namespace

void noteInterrupts() {
  for (const int signal : kInterrupts) std::signal(signal, noteInterrupt);
}

int interruptSignal() { return noted.load(); }

std::string interruptName(int signal) {
  switch (signal) {
#ifdef SIGHUP
    case SIGHUP:
      return "SIGHUP";
#endif
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
  }
  return "signal " + std::to_string(signal);
}

}  // namespace rendlow
