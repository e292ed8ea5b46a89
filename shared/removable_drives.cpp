#include "shared/removable_drives.h"

namespace ejectra {

std::optional<RemovableDrive> RemovableDriveScan::Next() {
  while (const auto drive = Drive::FromNumber(nextNumber_)) {
    ++nextNumber_;
    if (!drive->In(present_)) continue;
    RemovableDrive row{*drive, {}, {}};
    if (library_.IsRemovableHardwareDriveEx(drive->Number(), row.name, row.description)) {
      return row;
    }
  }
  return std::nullopt;
}

}  // namespace ejectra
