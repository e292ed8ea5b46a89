#include "tests/support/sim_pullcore.h"

#include "core/pullcore.h"
#include "platform/calling_convention.h"

namespace ejectra::testing {

namespace {

platform::sim::SimMachine* g_machine = nullptr;  // the machine of the process holding it

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

template <typename Function>
platform::ProcAddress Entry(Function* function) {
  return reinterpret_cast<platform::ProcAddress>(function);
}

}  // namespace

platform::sim::SimLibrary SimPullcoreLibrary(platform::sim::SimMachine& machine,
                                             unsigned exports) {
  platform::sim::SimLibrary library;
  if (exports & kExportIsRemovable) library.exports["IsRemovableHardwareDrive"] = Entry(&IsRemovable);
  if (exports & kExportIsRemovableEx) {
    library.exports["IsRemovableHardwareDriveExW"] = Entry(&IsRemovableEx);
  }
  if (exports & kExportRemove) library.exports["RemoveHardwareDrive"] = Entry(&Remove);
  library.attach = [&machine](bool attached) { g_machine = attached ? &machine : nullptr; };
  return library;
}

}  // namespace ejectra::testing
