// Pullcore.dll for a simulated process: the library's own exports
// (core/dll/pullcore_exports.cpp), on a platform session that answers from
// the simulated machine of the process holding it. Like a real library it is
// process-wide: one process at a time may hold it loaded.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::testing {

// The exports a simulated Pullcore.dll offers.
enum SimExport : unsigned {
  kExportIsRemovable = 1,
  kExportIsRemovableEx = 2,
  kExportRemove = 4,
  kExportOriginal = 7,
  kExportRemoveEx = 8,      // RemoveHardwareDriveExW
  kExportEjectMedia = 16,   // EjectDriveMedia
  kExportAll = 31,
};

platform::sim::SimLibrary SimPullcoreLibrary(platform::sim::SimCoreServices& machine,
                                             unsigned exports = kExportAll);

// The calls of the library's exports that `world` logged, in order, each as
// its name and drive number ("IsRemovableHardwareDriveExW 5").
std::vector<std::string> PullcoreCalls(const platform::sim::SimWorld& world);

}  // namespace ejectra::testing
