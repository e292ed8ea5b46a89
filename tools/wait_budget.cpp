#include "tools/wait_budget.h"

#include <algorithm>

namespace ejectra::tools {

namespace {

constexpr std::uint64_t kFileTimeUnitsPerMs = 10'000;

}  // namespace

std::uint64_t WaitBudget::ElapsedMs() {
  const std::uint64_t now = kernel_.GetSystemTimeAsFileTime();
  if (!start_) start_ = now;
  const std::uint64_t sinceStart = now > *start_ ? (now - *start_) / kFileTimeUnitsPerMs : 0;
  return std::max(sinceStart, pausedMs_);
}

bool WaitBudget::TimeLeft() { return ElapsedMs() < boundMs_; }

bool WaitBudget::PauseBeforeNextTry() {
  const std::uint64_t elapsed = ElapsedMs();
  if (elapsed >= boundMs_) return false;
  const auto pause =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(kRetryPauseMs, boundMs_ - elapsed));
  kernel_.Sleep(pause);
  pausedMs_ += pause;
  return true;
}

}  // namespace ejectra::tools
