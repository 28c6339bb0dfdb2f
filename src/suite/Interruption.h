#pragma once
// The signals that end a run from outside (SIGINT from Ctrl-C, SIGTERM, SIGHUP
// when the terminal goes away) taken as a request to stop. The handler only
// records the signal (async-signal-safe); the run sees it at its next check
// (between tiles, records and copies), removes its temporary files, leaves
// every target as it was and ends on its normal path. The same signal a second
// time ends the program at once (the default action); what that leaves behind
// is at most a run's private folder, which the next run removes.

#include <string>

namespace tilbo {

// Installs the handler for SIGINT, SIGTERM and SIGHUP.
void CatchInterruptions();

// The signal that asked the run to stop, 0 while none did.
int InterruptingSignal();

// "SIGINT", "SIGTERM" or "SIGHUP" (the number as text for any other).
std::string SignalName(int signal);

// Forgets a recorded signal (tests raise one and go on).
void ResetInterruptionForTesting();

}  // namespace tilbo
