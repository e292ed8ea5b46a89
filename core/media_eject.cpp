// EjectDriveMedia of core/pullcore.h: the medium out, the device kept.
#include "core/pullcore.h"

#include <cstdint>
#include <string>

#include "platform/owners.h"
#include "shared/drive.h"

namespace ejectra::core {

using namespace platform;

namespace {

bool Control(const CoreServices& os, Handle volume, std::uint32_t code, const void* in = nullptr,
             std::uint32_t inSize = 0) {
  std::uint32_t returned = 0;
  return os.volumes.DeviceIoControl(volume, code, in, inSize, nullptr, 0, &returned);
}

// Others hold the volume open: its lock may come once they let go.
bool HeldByOthers(ErrorCode error) {
  return error == kErrorAccessDenied || error == kErrorSharingViolation;
}

// The handle lacks volume-management access: a file system refuses the lock
// and the dismount to it with an invalid parameter.
bool LacksVolumeAccess(ErrorCode error) { return error == kErrorInvalidParameter; }

enum class LockOutcome { kTaken, kHeld, kDenied, kFailed };

LockOutcome TakeLock(const CoreServices& os, Handle volume) {
  for (int attempt = 1;; ++attempt) {
    if (Control(os, volume, kFsctlLockVolume)) return LockOutcome::kTaken;
    const ErrorCode error = os.GetLastError();
    if (LacksVolumeAccess(error)) return LockOutcome::kDenied;
    if (!HeldByOthers(error)) return LockOutcome::kFailed;
    if (attempt == kMediaLockTries) return LockOutcome::kHeld;
    os.kernel.Sleep(kMediaLockPauseMs);
  }
}

}  // namespace

int EjectDriveMedia(const CoreServices& os, int drive) noexcept try {
  const auto found = Drive::FromNumber(drive);
  if (!found) return kMediaNotRemovable;
  const std::u16string root = found->Name() + u"\\";
  const std::uint32_t type = os.volumes.GetDriveTypeW(root.c_str());
  if (type != kDriveRemovable && type != kDriveCdrom) return kMediaNotRemovable;

  // A disc is read only: its drive is opened for reading alone.
  const std::uint32_t access = type == kDriveCdrom ? kGenericRead : kGenericRead | kGenericWrite;
  const std::u16string path = u"\\\\.\\" + found->Name();
  const UniqueFileHandle volume(
      os.kernel, os.volumes.CreateFileW(path.c_str(), access, kFileShareRead | kFileShareWrite,
                                        kOpenExisting, 0));
  // Direct access to a volume is for administrators where policy says so.
  if (!volume) return os.GetLastError() == kErrorAccessDenied ? kMediaAccessDenied : kMediaFailed;
  switch (TakeLock(os, volume.get())) {
    case LockOutcome::kTaken: break;
    case LockOutcome::kHeld: return kMediaInUse;
    case LockOutcome::kDenied: return kMediaAccessDenied;
    case LockOutcome::kFailed: return kMediaFailed;
  }
  if (!Control(os, volume.get(), kFsctlDismountVolume)) {
    // The lock is ours: a refusal now is for want of rights, not for others.
    const ErrorCode error = os.GetLastError();
    return LacksVolumeAccess(error) || error == kErrorAccessDenied ? kMediaAccessDenied
                                                                   : kMediaFailed;
  }
  // Locked and dismounted, nothing can write to the medium any more: if the
  // drive cannot push it out, a hand can take it.
  const std::uint8_t allowRemoval = 0;  // PREVENT_MEDIA_REMOVAL { FALSE }
  const bool ejected = Control(os, volume.get(), kIoctlStorageMediaRemoval, &allowRemoval,
                               sizeof allowRemoval) &&
                       Control(os, volume.get(), kIoctlStorageEjectMedia);
  return ejected ? kMediaEjected : kMediaDismounted;
} catch (...) {
  return kMediaFailed;
}

}  // namespace ejectra::core
