#pragma once
// The event pump of an unattended run. It lets nothing happen between records
// but, when standard error is a terminal, draws one line of progress there
// (records done of total, rate, time left) and clears it at the end. Nothing
// is drawn when standard error is a file or a pipe.

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "suite/Prompter.h"

namespace tilbo {

class TerminalProgressPump final : public EventPump {
 public:
  // `enabled` false draws nothing (tests; standard error not a terminal).
  TerminalProgressPump(std::FILE* out, bool enabled);
  ~TerminalProgressPump() override;
  static bool StandardErrorIsTerminal();

  void ProcessPendingEvents() override {}
  void ProgressChanged(int32_t value, int32_t maximum) override;
  // Removes the progress line, if one is drawn.
  void Clear();

 private:
  void Draw(int32_t value, int32_t maximum);

  std::FILE* out_;
  bool enabled_;
  bool drawn_ = false;
  uint32_t calls_ = 0;
  std::chrono::steady_clock::time_point start_{};
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace tilbo
