#include "tests/support/sim_pullcore.h"

#include "core/pullcore.h"
#include "platform/calling_convention.h"

#include <string>

namespace ejectra::testing {

namespace {

platform::sim::SimCoreServices* g_machine = nullptr;  // the machine of the process holding it

// Logs the export's call with its drive number; true when it is planned to
// fail, which it then does as the library does (FALSE, nothing asked).
bool Planned(const char* name, int drive) {
  return g_machine->World().calls.Enter(name, std::to_string(drive)).has_value();
}

int EJECTRA_WINAPI IsRemovable(int drive) {
  if (Planned("IsRemovableHardwareDrive", drive)) return 0;
  return core::IsRemovableHardwareDrive(g_machine->Services(), drive);
}

int EJECTRA_WINAPI IsRemovableEx(int drive, char16_t* name, int nameCapacity,
                                 char16_t* description, int descriptionCapacity) {
  if (Planned("IsRemovableHardwareDriveExW", drive)) return 0;
  return core::IsRemovableHardwareDriveExW(g_machine->Services(), drive, name, nameCapacity,
                                           description, descriptionCapacity);
}

int EJECTRA_WINAPI Remove(int drive) {
  if (Planned("RemoveHardwareDrive", drive)) return 0;
  return core::RemoveHardwareDrive(g_machine->Services(), drive);
}

int EJECTRA_WINAPI RemoveEx(int drive, PullcoreRemoval* removal) {
  if (Planned("RemoveHardwareDriveExW", drive)) return 0;
  return core::RemoveHardwareDriveExW(g_machine->Services(), drive, removal);
}

int EJECTRA_WINAPI EjectMedia(int drive) {
  if (Planned("EjectDriveMedia", drive)) return 0;
  return core::EjectDriveMedia(g_machine->Services(), drive);
}

template <typename Function>
platform::ProcAddress Entry(Function* function) {
  return reinterpret_cast<platform::ProcAddress>(function);
}

}  // namespace

std::vector<std::string> PullcoreCalls(const platform::sim::SimWorld& world) {
  std::vector<std::string> calls;
  for (const platform::sim::SimCall& call : world.calls.Log()) {
    if (call.name == "IsRemovableHardwareDrive" || call.name == "IsRemovableHardwareDriveExW" ||
        call.name == "RemoveHardwareDrive" || call.name == "RemoveHardwareDriveExW" ||
        call.name == "EjectDriveMedia") {
      calls.push_back(call.name + " " + call.detail);
    }
  }
  return calls;
}

platform::sim::SimLibrary SimPullcoreLibrary(platform::sim::SimCoreServices& machine,
                                             unsigned exports) {
  machine.World().calls.Know({"IsRemovableHardwareDrive", "IsRemovableHardwareDriveExW",
                              "RemoveHardwareDrive", "RemoveHardwareDriveExW", "EjectDriveMedia"});
  platform::sim::SimLibrary library;
  if (exports & kExportIsRemovable) library.exports["IsRemovableHardwareDrive"] = Entry(&IsRemovable);
  if (exports & kExportIsRemovableEx) {
    library.exports["IsRemovableHardwareDriveExW"] = Entry(&IsRemovableEx);
  }
  if (exports & kExportRemove) library.exports["RemoveHardwareDrive"] = Entry(&Remove);
  if (exports & kExportRemoveEx) library.exports["RemoveHardwareDriveExW"] = Entry(&RemoveEx);
  if (exports & kExportEjectMedia) library.exports["EjectDriveMedia"] = Entry(&EjectMedia);
  library.attach = [&machine](bool attached) { g_machine = attached ? &machine : nullptr; };
  return library;
}

}  // namespace ejectra::testing
