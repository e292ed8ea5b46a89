// Ejecting the medium of a drive whose device stays: a card from its reader's
// slot, a disc from its drive. The volume is opened, locked (others holding it
// are waited for a while), dismounted, its removal allowed and its medium
// ejected; the open is closed in every case, which gives the lock up.
#pragma once

#include "platform/core_services.h"
#include "shared/pullcore_media.h"

namespace ejectra::core {

// How often the lock is asked while others hold the volume, and the pause
// between two tries.
inline constexpr int kMediaLockTries = 10;
inline constexpr std::uint32_t kMediaLockPauseMs = 100;

// A PullcoreMediaResult. A drive number outside 1-26 answers
// kMediaNotRemovable before any platform call; so does a drive whose type is
// neither removable nor CD-ROM. A disc drive is opened for reading only.
// An open refused with ERROR_ACCESS_DENIED, a lock or dismount refused with
// ERROR_INVALID_PARAMETER (no volume-management access), or a dismount
// refused with ERROR_ACCESS_DENIED answers kMediaAccessDenied; a lock
// refused with ERROR_ACCESS_DENIED or ERROR_SHARING_VIOLATION through every
// try answers kMediaInUse; a failed media-removal or eject request after a
// good dismount answers kMediaDismounted. Never throws: any other failure
// answers kMediaFailed.
int EjectDriveMedia(const platform::CoreServices& os, int drive) noexcept;

}  // namespace ejectra::core
