#include "core/removable_device.h"

#include "core/resolution.h"

namespace ejectra::core {

using namespace platform;

bool FindRemovableDevice(const CoreServices& os, Drive drive, DeviceNode& device,
                         DeviceNode& removableParent) {
  DeviceNode found;
  if (!ResolveByDeviceObject(os, drive, found) && !ResolveByMountRecord(os, drive, found)) {
    return false;
  }
  DeviceNode parent;
  std::uint32_t status = 0, problem = 0;
  if (!found.GetParent(os.devices, parent) || !parent.GetStatus(os.devices, status, problem)) {
    return false;
  }
  if (!(status & kDnRemovable) || !(status & kDnDisableable) || (status & kDnHasProblem)) {
    return false;
  }
  device = found;
  removableParent = parent;
  return true;
}

}  // namespace ejectra::core
