// Who held a device whose removal the platform refused: the processes that
// the Kernel-PnP provider names in its event 225 of the System log ("the
// application ... stopped the removal or ejection for the device ...").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core_services.h"
#include "shared/pullcore_removal.h"

namespace ejectra::core {

struct Blocker {
  std::uint32_t processId = 0;
  std::u16string imagePath;  // as logged: an NT path such as \Device\HarddiskVolume3\...
  friend bool operator==(const Blocker&, const Blocker&) = default;
};

inline constexpr std::uint32_t kBlockerLooks = 5;
inline constexpr std::uint32_t kBlockerLookPause = 200;        // ms between two looks
inline constexpr std::uint64_t kBlockerEventWindow = 2 * 10'000'000;  // 2 s, in FILETIME units
// How long one EvtNext may wait for the log to hand over results: the
// System log is local, so a second is ample; past it the log is taken as
// unreadable rather than the tool left hanging.
inline constexpr std::uint32_t kBlockerReadTimeoutMs = 1000;

// One look at the log: the events 225 created at `since` or later whose
// DeviceInstance is one of `instances` (letters A-Z folded), newest first,
// each process once, at most kMaxBlockers. None when the log cannot be
// queried or read to its end (no such log or library, a policy, a time-out,
// any error but the end of the results).
std::optional<std::vector<Blocker>> ReadBlockers(const platform::CoreServices& os, std::uint64_t since,
                                                 const std::vector<std::u16string>& instances);

// The event is written just after the refusal: up to kBlockerLooks looks,
// kBlockerLookPause apart, ending at the first that finds any or at a log
// that cannot be queried.
std::vector<Blocker> FindBlockers(const platform::CoreServices& os, std::uint64_t since,
                                  const std::vector<std::u16string>& instances);

// An NT path with a drive letter for its device where one of the letters
// A-Z names that device ("\Device\HarddiskVolume3\Windows\x.exe" ->
// "C:\Windows\x.exe"); the path as it stands otherwise.
std::u16string DrivePathOf(platform::DosDevices& dosDevices, std::u16string_view ntPath);

}  // namespace ejectra::core
