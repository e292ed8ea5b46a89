// The exports of Pullcore.dll, as the library defines them, in portable
// types: the public header's BOOL is an int and its WCHAR a UTF-16 unit.
// The shipped library, the simulated one and the host tests' library all
// define them by pullcore_exports.cpp, each on a platform session of its own.
#pragma once

#include "platform/calling_convention.h"
#include "shared/pullcore_removal.h"

extern "C" {

int EJECTRA_WINAPI IsRemovableHardwareDrive(int drive);
int EJECTRA_WINAPI IsRemovableHardwareDriveExW(int drive, char16_t* name, int nameCapacity,
                                               char16_t* description, int descriptionCapacity);
int EJECTRA_WINAPI RemoveHardwareDrive(int drive);
int EJECTRA_WINAPI RemoveHardwareDriveExW(int drive, ejectra::PullcoreRemoval* removal);
int EJECTRA_WINAPI EjectDriveMedia(int drive);

}  // extern "C"
