// The removable drives of the machine as the core library sees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/drive.h"
#include "shared/pullcore_library.h"

namespace ejectra {

struct RemovableDrive {
  Drive drive;
  std::u16string name;         // the device's friendly name
  std::u16string description;  // its removable parent's description
};

// Every drive of `present` that the library calls removable hardware, with
// its texts, A: first.
std::vector<RemovableDrive> ScanRemovableDrives(std::uint32_t present,
                                                const CPullcoreLibrary& library);

}  // namespace ejectra
