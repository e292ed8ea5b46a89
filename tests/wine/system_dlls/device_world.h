// The simulated setupapi.dll's machine: loaded from the machine file at the
// first call of the process and kept for its life (device information sets
// are handles into it). An eject that removed devices or logged events
// writes the machine and its System log back, so that the simulated
// wevtapi.dll and later processes see them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::tests::system_dlls {

struct DeviceWorld {
  std::wstring path;  // empty: no machine file could be read; nothing is written back
  platform::sim::SimWorld world;
  platform::sim::SimCoreServices machine{world};
};

// The process's machine; an empty one when there is no machine file.
DeviceWorld& Devices();

// CM_Request_Device_EjectW on the machine, on real time: the events it logs
// are stamped now (or now + the device's event delay), and what changed is
// written back.
platform::ConfigRet EjectOnRealTime(platform::DevInst node, std::uint32_t* vetoType,
                                    char16_t* vetoName, std::uint32_t vetoNameLength,
                                    std::uint32_t flags);

}  // namespace ejectra::tests::system_dlls
