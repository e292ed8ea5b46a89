// What RemoveHardwareDriveExW reports of a removal: PULLCORE_REMOVAL and
// PULLCORE_BLOCKER of include/pullcore.h, field for field, in portable types.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ejectra {

inline constexpr std::size_t kRemovalTextChars = 260;  // MAX_PATH, the terminator included
inline constexpr std::uint32_t kMaxBlockers = 8;

// A process that held the device when the platform refused its removal.
struct PullcoreBlocker {
  std::uint32_t ProcessId;
  char16_t ImagePath[kRemovalTextChars];  // a drive-letter path where one maps
};

struct PullcoreRemoval {
  std::uint32_t Size;      // sizeof(PullcoreRemoval), set by the caller
  std::uint32_t VetoType;  // PNP_VETO_TYPE; 0 when the platform gave none
  char16_t VetoName[kRemovalTextChars];
  std::uint32_t BlockerCount;  // 0 to kMaxBlockers, newest first
  PullcoreBlocker Blockers[kMaxBlockers];
};

// PNP_VETO_TYPE values that the reports tell apart.
inline constexpr std::uint32_t kPnpVetoTypeUnknown = 0;
inline constexpr std::uint32_t kPnpVetoOutstandingOpen = 5;
inline constexpr std::uint32_t kPnpVetoAlreadyRemoved = 13;  // the highest there is

static_assert(sizeof(PullcoreBlocker) == 524);
static_assert(sizeof(PullcoreRemoval) == 4724);

}  // namespace ejectra
