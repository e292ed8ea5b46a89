// The core's five operations, on any platform: the bodies of Pullcore.dll's
// exports. They never throw: every failure, an exhausted memory included,
// answers false (or kMediaFailed). The drive number is taken as the exports
// get it (1 = A:); one outside 1-26 answers false (or kMediaNotRemovable)
// before any platform call.
#pragma once

#include <cstdint>

#include "platform/core_services.h"
#include "shared/pullcore_media.h"
#include "shared/pullcore_removal.h"

namespace ejectra::core {

bool IsRemovableHardwareDrive(const platform::CoreServices& os, int drive) noexcept;

// Writes the device's friendly name and its removable parent's description.
// A capacity (in characters, NUL included) too small for its text answers
// false with ERROR_INSUFFICIENT_BUFFER; the name is written before the
// description's capacity is tested. A null buffer is skipped when its
// capacity would have sufficed.
bool IsRemovableHardwareDriveExW(const platform::CoreServices& os, int drive, char16_t* name,
                                 int nameCapacity, char16_t* description,
                                 int descriptionCapacity) noexcept;

// One eject request for the removable parent; true when the platform accepts.
bool RemoveHardwareDrive(const platform::CoreServices& os, int drive) noexcept;

// The same request with the veto outputs: true when the platform accepts.
// On a refusal `removal` holds the veto and the processes that the System
// log names as holding the device. A null `removal`, or one whose Size is
// not its own, answers false with ERROR_INVALID_PARAMETER before anything
// is asked; otherwise every field but Size is cleared first.
bool RemoveHardwareDriveExW(const platform::CoreServices& os, int drive,
                            PullcoreRemoval* removal) noexcept;

// Ejects the medium of a drive whose device stays: a card from its reader's
// slot, a disc from its drive. The volume is opened, locked (others holding
// it are waited for a while), dismounted, its removal allowed and its medium
// ejected; the open is closed in every case, which gives the lock up.
//
// Answers a PullcoreMediaResult. A drive whose type is neither removable nor
// CD-ROM answers kMediaNotRemovable before the volume is opened. A disc drive
// is opened for reading only. An open refused with ERROR_ACCESS_DENIED, a
// lock or dismount refused with ERROR_INVALID_PARAMETER (no
// volume-management access), or a dismount refused with ERROR_ACCESS_DENIED
// answers kMediaAccessDenied; a lock refused with ERROR_ACCESS_DENIED or
// ERROR_SHARING_VIOLATION through every try answers kMediaInUse; a failed
// media-removal or eject request after a good dismount answers
// kMediaDismounted. Any other failure answers kMediaFailed.
int EjectDriveMedia(const platform::CoreServices& os, int drive) noexcept;

// How often EjectDriveMedia asks for the lock while others hold the volume,
// and the pause between two tries.
inline constexpr int kMediaLockTries = 10;
inline constexpr std::uint32_t kMediaLockPauseMs = 100;

}  // namespace ejectra::core
