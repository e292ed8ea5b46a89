// The exports of Pullcore.dll, named and numbered by its .def file. Each
// call runs the core on a platform session of its own, opened for that
// export and drive.
#include "core/dll/pullcore_exports.h"

#include "core/dll/platform_session.h"
#include "core/pullcore.h"

using ejectra::dll::Export;
using ejectra::dll::PlatformSession;

extern "C" {

int EJECTRA_WINAPI IsRemovableHardwareDrive(int drive) {
  const PlatformSession session(Export::IsRemovableHardwareDrive, drive);
  const auto* os = session.Services();
  return os && ejectra::core::IsRemovableHardwareDrive(*os, drive);
}

int EJECTRA_WINAPI IsRemovableHardwareDriveExW(int drive, char16_t* name, int nameCapacity,
                                               char16_t* description, int descriptionCapacity) {
  const PlatformSession session(Export::IsRemovableHardwareDriveExW, drive);
  const auto* os = session.Services();
  return os && ejectra::core::IsRemovableHardwareDriveExW(*os, drive, name, nameCapacity,
                                                          description, descriptionCapacity);
}

int EJECTRA_WINAPI RemoveHardwareDrive(int drive) {
  const PlatformSession session(Export::RemoveHardwareDrive, drive);
  const auto* os = session.Services();
  return os && ejectra::core::RemoveHardwareDrive(*os, drive);
}

int EJECTRA_WINAPI RemoveHardwareDriveExW(int drive, ejectra::PullcoreRemoval* removal) {
  const PlatformSession session(Export::RemoveHardwareDriveExW, drive);
  const auto* os = session.Services();
  return os && ejectra::core::RemoveHardwareDriveExW(*os, drive, removal);
}

int EJECTRA_WINAPI EjectDriveMedia(int drive) {
  const PlatformSession session(Export::EjectDriveMedia, drive);
  const auto* os = session.Services();
  return os ? ejectra::core::EjectDriveMedia(*os, drive) : ejectra::kMediaFailed;
}

}  // extern "C"
