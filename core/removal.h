// Whether a drive is removable hardware, and its removal.
#pragma once

#include "core/device_node.h"
#include "platform/core_services.h"

namespace ejectra::core {

// Resolves the drive (device object first, mount record second) and accepts
// it when the found node's direct parent is removable, disableable and has no
// problem. Both outputs are written only on success; drive numbers outside
// 1-26 fail before any platform call.
bool FindRemovableDevice(const platform::CoreServices& os, int drive, DeviceNode& device,
                         DeviceNode& removableParent);

}  // namespace ejectra::core
