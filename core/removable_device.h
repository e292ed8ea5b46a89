// The removable device behind a drive, and its removable parent.
#pragma once

#include "core/device_node.h"
#include "platform/core_services.h"
#include "shared/drive.h"

namespace ejectra::core {

// Resolves the drive (device object first, mount record second) and accepts
// it when the found node's direct parent is removable, disableable and has no
// problem. Both outputs are written only on success.
bool FindRemovableDevice(const platform::CoreServices& os, Drive drive, DeviceNode& device,
                         DeviceNode& removableParent);

}  // namespace ejectra::core
