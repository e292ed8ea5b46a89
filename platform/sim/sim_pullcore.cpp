// The simulated Pullcore.dll: its exports run the device removal core on
// the machine of the process that loaded it.
#include <string_view>

#include "core/pullcore.h"
#include "platform/calling_convention.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_process.h"

namespace ejectra::platform::sim {

namespace {

SimMachine* g_machine = nullptr;  // the machine of the process holding the library

int EJECTRA_WINAPI IsRemovable(int drive) {
  return core::IsRemovableHardwareDrive(g_machine->Services(), drive);
}

int EJECTRA_WINAPI IsRemovableEx(int drive, char16_t* name, int nameCapacity,
                                 char16_t* description, int descriptionCapacity) {
  return core::IsRemovableHardwareDriveExW(g_machine->Services(), drive, name, nameCapacity,
                                           description, descriptionCapacity);
}

int EJECTRA_WINAPI Remove(int drive) {
  return core::RemoveHardwareDrive(g_machine->Services(), drive);
}

}  // namespace

void BindSimPullcore(SimMachine* machine) { g_machine = machine; }

ProcAddress SimPullcoreExport(std::string_view name, unsigned exports) {
  if (name == "IsRemovableHardwareDrive" && (exports & kExportIsRemovable)) {
    return reinterpret_cast<ProcAddress>(&IsRemovable);
  }
  if (name == "IsRemovableHardwareDriveExW" && (exports & kExportIsRemovableEx)) {
    return reinterpret_cast<ProcAddress>(&IsRemovableEx);
  }
  if (name == "RemoveHardwareDrive" && (exports & kExportRemove)) {
    return reinterpret_cast<ProcAddress>(&Remove);
  }
  return nullptr;
}

}  // namespace ejectra::platform::sim
