#pragma once
// The signals that end a run from outside (SIGINT from Ctrl-C, SIGTERM, SIGHUP
// when the terminal goes away) taken as a request to stop. The handler only
// records the signal (async-signal-safe); the run sees it at its next check
// (between tiles, records and copies), removes its temporary files, leaves
// every target as it was and ends on its normal path. The same signal a second
// time ends the program at once (the default action); what that leaves behind
// is at most a run's private folder, which the next run removes.

#include <csignal>
#include <string>

namespace tilbo {

// Catches SIGINT, SIGTERM and SIGHUP while it lives, and puts back the
// handlers it found: a run inside a longer process leaves them as they were.
class CaughtInterruptions {
 public:
  CaughtInterruptions();
  ~CaughtInterruptions();
  CaughtInterruptions(const CaughtInterruptions&) = delete;
  CaughtInterruptions& operator=(const CaughtInterruptions&) = delete;

 private:
  struct sigaction previous_[3];
};

// The signal that asked the run to stop, 0 while none did.
int InterruptingSignal();

// "SIGINT", "SIGTERM" or "SIGHUP" (the number as text for any other).
std::string SignalName(int signal);

// Forgets a recorded signal (tests raise one and go on).
void ResetInterruptionForTesting();

}  // namespace tilbo
