#include "tests/support/sim_pullcore.h"

#include <string>

#include "core/dll/platform_session.h"
#include "core/dll/pullcore_exports.h"

namespace ejectra {

namespace {

platform::sim::SimCoreServices* g_machine = nullptr;  // the machine of the process holding it

// By dll::Export.
constexpr const char* kExportNames[] = {"IsRemovableHardwareDrive", "IsRemovableHardwareDriveExW",
                                        "RemoveHardwareDrive", "RemoveHardwareDriveExW",
                                        "EjectDriveMedia"};
static_assert(std::size(kExportNames) == static_cast<std::size_t>(dll::Export::EjectDriveMedia) + 1);

}  // namespace

// The library's platform in a host test: the machine of the simulated
// process holding it. The call is logged with its drive; one planned to fail
// has no platform, and the export answers as when none can be had.
struct dll::PlatformSession::State {};

dll::PlatformSession::PlatformSession(dll::Export call, int drive) noexcept {
  const char* name = kExportNames[static_cast<int>(call)];
  if (!g_machine || g_machine->World().calls.Enter(name, std::to_string(drive))) return;
  services_ = std::make_unique<platform::CoreServices>(g_machine->Services());
}

dll::PlatformSession::~PlatformSession() = default;

namespace testing {

namespace {

template <typename Function>
platform::ProcAddress Entry(Function* function) {
  return reinterpret_cast<platform::ProcAddress>(function);
}

}  // namespace

std::vector<std::string> PullcoreCalls(const platform::sim::SimWorld& world) {
  std::vector<std::string> calls;
  for (const platform::sim::SimCall& call : world.calls.Log()) {
    for (const char* name : kExportNames) {
      if (call.name == name) calls.push_back(call.name + " " + call.detail);
    }
  }
  return calls;
}

platform::sim::SimLibrary SimPullcoreLibrary(platform::sim::SimCoreServices& machine,
                                             unsigned exports) {
  for (const char* name : kExportNames) machine.World().calls.Know({name});
  const platform::ProcAddress entries[] = {
      Entry(&::IsRemovableHardwareDrive), Entry(&::IsRemovableHardwareDriveExW),
      Entry(&::RemoveHardwareDrive), Entry(&::RemoveHardwareDriveExW), Entry(&::EjectDriveMedia)};
  platform::sim::SimLibrary library;
  for (unsigned i = 0; i < std::size(entries); ++i) {
    if (exports & (1u << i)) library.exports[kExportNames[i]] = entries[i];
  }
  library.attach = [&machine](bool attached) { g_machine = attached ? &machine : nullptr; };
  return library;
}

}  // namespace testing
}  // namespace ejectra
