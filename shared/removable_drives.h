// The removable drives of the machine as the core library sees them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shared/drive.h"
#include "shared/pullcore_library.h"

namespace ejectra {

struct RemovableDrive {
  Drive drive;
  std::u16string name;         // the device's friendly name
  std::u16string description;  // its removable parent's description
};

// Walks the drives of `present` (the mask read once, at the start of the
// walk), A: first, and hands over those that the library calls removable
// hardware one at a time. A drive is asked about only when the next row is
// asked for, so a caller that has what it wants stops the walk by not asking.
//
//   RemovableDriveScan scan(process.GetLogicalDrives(), library);
//   while (const auto row = scan.Next()) { ... }
class RemovableDriveScan {
 public:
  RemovableDriveScan(std::uint32_t present, const CPullcoreLibrary& library)
      : present_(present), library_(library) {}

  // The next removable drive after the last one handed over; none past Z:.
  std::optional<RemovableDrive> Next();

 private:
  std::uint32_t present_;
  const CPullcoreLibrary& library_;
  int nextNumber_ = 1;
};

}  // namespace ejectra
