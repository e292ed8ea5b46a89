// The exports of Pullcore.dll, named and numbered by its .def file. Each
// call runs the core on a platform session of its own.
#include <windows.h>

#include <cstddef>

#include "core/dll/platform_session.h"
#include "core/pullcore.h"
#include "include/pullcore.h"

namespace {

using ejectra::dll::PlatformSession;
using ejectra::PullcoreRemoval;

// The public header's structures are the core's, field for field.
static_assert(sizeof(PULLCORE_REMOVAL) == sizeof(PullcoreRemoval));
static_assert(offsetof(PULLCORE_REMOVAL, VetoName) == offsetof(PullcoreRemoval, VetoName));
static_assert(offsetof(PULLCORE_REMOVAL, BlockerCount) == offsetof(PullcoreRemoval, BlockerCount));
static_assert(offsetof(PULLCORE_REMOVAL, Blockers) == offsetof(PullcoreRemoval, Blockers));
static_assert(offsetof(PULLCORE_BLOCKER, ImagePath) == offsetof(ejectra::PullcoreBlocker, ImagePath));

// The public header's answers of EjectDriveMedia are the core's.
static_assert(PULLCORE_MEDIA_FAILED == ejectra::kMediaFailed &&
              PULLCORE_MEDIA_EJECTED == ejectra::kMediaEjected &&
              PULLCORE_MEDIA_IN_USE == ejectra::kMediaInUse &&
              PULLCORE_MEDIA_NOT_REMOVABLE == ejectra::kMediaNotRemovable &&
              PULLCORE_MEDIA_ACCESS_DENIED == ejectra::kMediaAccessDenied &&
              PULLCORE_MEDIA_DISMOUNTED == ejectra::kMediaDismounted);

BOOL AsBool(bool value) { return value ? TRUE : FALSE; }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

BOOL WINAPI IsRemovableHardwareDrive(int drive) {
  const PlatformSession session;
  const auto* os = session.Services();
  return AsBool(os && ejectra::core::IsRemovableHardwareDrive(*os, drive));
}

BOOL WINAPI IsRemovableHardwareDriveExW(int drive, wchar_t* name, int nameCapacity,
                                        wchar_t* description, int descriptionCapacity) {
  const PlatformSession session;
  const auto* os = session.Services();
  return AsBool(os && ejectra::core::IsRemovableHardwareDriveExW(
                          *os, drive, reinterpret_cast<char16_t*>(name), nameCapacity,
                          reinterpret_cast<char16_t*>(description), descriptionCapacity));
}

BOOL WINAPI RemoveHardwareDrive(int drive) {
  const PlatformSession session;
  const auto* os = session.Services();
  return AsBool(os && ejectra::core::RemoveHardwareDrive(*os, drive));
}

BOOL WINAPI RemoveHardwareDriveExW(int drive, PULLCORE_REMOVAL* removal) {
  const PlatformSession session;
  const auto* os = session.Services();
  return AsBool(os && ejectra::core::RemoveHardwareDriveExW(
                          *os, drive, reinterpret_cast<PullcoreRemoval*>(removal)));
}

int WINAPI EjectDriveMedia(int drive) {
  const PlatformSession session;
  const auto* os = session.Services();
  return os ? ejectra::core::EjectDriveMedia(*os, drive) : ejectra::kMediaFailed;
}

}  // extern "C"
