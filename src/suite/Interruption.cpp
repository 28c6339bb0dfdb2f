#include "suite/Interruption.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace tilbo {
namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch a lock-free atomic");

constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RecordInterruption(int signal) { gSignal.store(signal, std::memory_order_relaxed); }

}  // namespace

CaughtInterruptions::CaughtInterruptions() {
  struct sigaction action {};
  action.sa_handler = RecordInterruption;
  sigemptyset(&action.sa_mask);
  // Restarted system calls keep every read and write of the run unaware of
  // the signal; the handler goes back to the default after one delivery, so
  // a second Ctrl-C ends a run that does not stop soon enough.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  static_assert(std::size(kInterruptions) == std::size(decltype(previous_){}));
  for (std::size_t i = 0; i < std::size(kInterruptions); ++i) sigaction(kInterruptions[i], &action, &previous_[i]);
}

CaughtInterruptions::~CaughtInterruptions() {
  for (std::size_t i = 0; i < std::size(kInterruptions); ++i) sigaction(kInterruptions[i], &previous_[i], nullptr);
}

int InterruptingSignal() { return gSignal.load(std::memory_order_relaxed); }

std::string SignalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal " + std::to_string(signal);
  }
}

void ResetInterruptionForTesting() { gSignal.store(0); }

}  // namespace tilbo
