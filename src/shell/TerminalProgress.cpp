#include "shell/TerminalProgress.h"

#include <unistd.h>

#include "suite/NumberFormat.h"

namespace tilbo {
namespace {
// The clock is read once per this many records, and the line redrawn at most
// every kRedraw: the per-record cost stays a counter increment.
constexpr uint32_t kClockEvery = 4096;
constexpr auto kRedraw = std::chrono::milliseconds(100);
}  // namespace

TerminalProgressPump::TerminalProgressPump(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}

TerminalProgressPump::~TerminalProgressPump() { Clear(); }

bool TerminalProgressPump::StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void TerminalProgressPump::ProgressChanged(int32_t value, int32_t maximum) {
  if (!enabled_) return;
  if (value <= 1 || start_ == std::chrono::steady_clock::time_point{}) {
    start_ = lastDraw_ = std::chrono::steady_clock::now();
    calls_ = 0;
  }
  if (++calls_ % kClockEvery != 0 && value != maximum) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < kRedraw && value != maximum) return;
  lastDraw_ = now;
  Draw(value, maximum);
  if (value == maximum) Clear();
}

void TerminalProgressPump::Draw(int32_t value, int32_t maximum) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double rate = seconds > 0 ? value / seconds : 0;
  const double left = rate > 0 ? (maximum - value) / rate : 0;
  std::fprintf(out_, "\r\033[K  records %s of %s  %s/s  %s s left", FormatPicture(value, "#,##0").c_str(),
               FormatPicture(maximum, "#,##0").c_str(), FormatPicture(rate, "#,##0").c_str(),
               FormatPicture(left, "0.0").c_str());
  std::fflush(out_);
  drawn_ = true;
}

void TerminalProgressPump::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
  drawn_ = false;
}

}  // namespace tilbo
