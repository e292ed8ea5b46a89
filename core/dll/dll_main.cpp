// Pullcore.dll's entry point, and the proof that its public header
// describes what the exports take and answer.
#include <windows.h>

#include <cstddef>

#include "core/pullcore.h"
#include "include/pullcore.h"

// The public header's structures are the core's, field for field.
static_assert(sizeof(PULLCORE_REMOVAL) == sizeof(ejectra::PullcoreRemoval));
static_assert(offsetof(PULLCORE_REMOVAL, VetoName) == offsetof(ejectra::PullcoreRemoval, VetoName));
static_assert(offsetof(PULLCORE_REMOVAL, BlockerCount) ==
              offsetof(ejectra::PullcoreRemoval, BlockerCount));
static_assert(offsetof(PULLCORE_REMOVAL, Blockers) == offsetof(ejectra::PullcoreRemoval, Blockers));
static_assert(offsetof(PULLCORE_BLOCKER, ImagePath) == offsetof(ejectra::PullcoreBlocker, ImagePath));
static_assert(sizeof(BOOL) == sizeof(int) && sizeof(WCHAR) == sizeof(char16_t));

// The public header's answers of EjectDriveMedia are the core's.
static_assert(PULLCORE_MEDIA_FAILED == ejectra::kMediaFailed &&
              PULLCORE_MEDIA_EJECTED == ejectra::kMediaEjected &&
              PULLCORE_MEDIA_IN_USE == ejectra::kMediaInUse &&
              PULLCORE_MEDIA_NOT_REMOVABLE == ejectra::kMediaNotRemovable &&
              PULLCORE_MEDIA_ACCESS_DENIED == ejectra::kMediaAccessDenied &&
              PULLCORE_MEDIA_DISMOUNTED == ejectra::kMediaDismounted);

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
