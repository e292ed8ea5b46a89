// The three operations the core library exports, on any platform. They never
// throw: every failure, an exhausted memory included, answers false. The
// drive number is taken as the exports get it (1 = A:); one outside 1-26
// answers false before any platform call.
#pragma once

#include "platform/core_services.h"
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

}  // namespace ejectra::core
