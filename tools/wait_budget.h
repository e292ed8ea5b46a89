// The time one run of a tool may spend waiting for drives to be let go
// (/W): a single bound for the whole run, counted from the first refusal,
// with a pause of a second between two tries.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/kernel_base.h"

namespace ejectra::tools {

inline constexpr std::uint32_t kRetryPauseMs = 1000;

class WaitBudget {
 public:
  WaitBudget(platform::KernelBase& kernel, std::uint32_t seconds)
      : kernel_(kernel), boundMs_(std::uint64_t{seconds} * 1000), seconds_(seconds) {}

  std::uint32_t Seconds() const { return seconds_; }
  // At a refusal: starts the bound at the run's first one; false when the
  // bound is used up, so that nothing is waited for.
  bool TimeLeft();
  // Pauses before the next try: a second, or what is left of the bound when
  // that is less; false, without a pause, when nothing is left.
  bool PauseBeforeNextTry();

 private:
  // What the run has waited so far: the time since the first refusal (which
  // the first call marks), and never less than its pauses, whatever the
  // system clock does meanwhile.
  std::uint64_t ElapsedMs();

  platform::KernelBase& kernel_;
  std::uint64_t boundMs_;
  std::uint32_t seconds_;
  std::optional<std::uint64_t> start_;  // FILETIME of the first refusal
  std::uint64_t pausedMs_ = 0;
};

}  // namespace ejectra::tools
