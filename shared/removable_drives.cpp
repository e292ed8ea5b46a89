#include "shared/removable_drives.h"

namespace ejectra {

std::vector<RemovableDrive> ScanRemovableDrives(std::uint32_t present,
                                                const CPullcoreLibrary& library) {
  std::vector<RemovableDrive> found;
  for (const Drive drive : DrivesIn(present)) {
    RemovableDrive row{drive, {}, {}};
    if (library.IsRemovableHardwareDriveEx(drive.Number(), row.name, row.description)) {
      found.push_back(std::move(row));
    }
  }
  return found;
}

}  // namespace ejectra
