#include "core/pullcore.h"

#include <cstdint>
#include <string>

#include "core/removable_device.h"

namespace ejectra::core {

using namespace platform;

namespace {

bool Fits(int capacity, const std::u16string& text) {
  return std::int64_t{capacity} >= static_cast<std::int64_t>(text.size()) + 1;
}

}  // namespace

bool IsRemovableHardwareDrive(const CoreServices& os, int drive) noexcept try {
  const auto found = Drive::FromNumber(drive);
  DeviceNode device, parent;
  return found && FindRemovableDevice(os, *found, device, parent);
} catch (...) {
  return false;
}

bool IsRemovableHardwareDriveExW(const CoreServices& os, int drive, char16_t* name,
                                 int nameCapacity, char16_t* description,
                                 int descriptionCapacity) noexcept try {
  const auto found = Drive::FromNumber(drive);
  DeviceNode device, parent;
  if (!found || !FindRemovableDevice(os, *found, device, parent)) return false;

  std::u16string nameText, descriptionText;  // an unreadable property stays empty
  device.GetProperty(os.devices, kCmDrpFriendlyName, nameText);
  parent.GetProperty(os.devices, kCmDrpDeviceDesc, descriptionText);

  if (!Fits(nameCapacity, nameText)) {
    os.kernel.SetLastError(kErrorInsufficientBuffer);
    return false;
  }
  if (name) os.strings.StrCpyNW(name, nameText.c_str(), nameCapacity);
  if (!Fits(descriptionCapacity, descriptionText)) {
    os.kernel.SetLastError(kErrorInsufficientBuffer);
    return false;
  }
  if (description) os.strings.StrCpyNW(description, descriptionText.c_str(), descriptionCapacity);
  return true;
} catch (...) {
  return false;
}

bool RemoveHardwareDrive(const CoreServices& os, int drive) noexcept try {
  const auto found = Drive::FromNumber(drive);
  DeviceNode device, parent;
  return found && FindRemovableDevice(os, *found, device, parent) &&
         parent.RequestEject(os.devices);
} catch (...) {
  return false;
}

}  // namespace ejectra::core
