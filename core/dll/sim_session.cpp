// The simulated library's platform: the machine described by the JSON file
// that EJECTRA_SIM_MACHINE names, loaded afresh for every call. A call that
// removed devices or changed a volume (an ejected medium) writes the machine
// back, so that later calls, from this process or another, see the change.
// Each call's world has a clock of its own, starting at 0: the events it
// logs stay in it, and the file's System log (the simulated wevtapi.dll's,
// on real time) is carried over untouched.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/dll/machine_store.h"
#include "core/dll/platform_session.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::dll {

namespace {

using platform::sim::MachineState;

std::vector<bool> Presence(const MachineState& machine) {
  std::vector<bool> present;
  for (const auto& device : machine.devices) present.push_back(device.present);
  return present;
}

}  // namespace

struct PlatformSession::State {
  std::wstring path;
  platform::sim::SimWorld world;
  platform::sim::SimCoreServices machine{world};
  std::vector<bool> before;  // which devices were present when the call began
  decltype(MachineState::volumes) volumesBefore;
  std::vector<platform::sim::SimEvent> fileLog;
};

PlatformSession::PlatformSession(Export, int) noexcept try {
  const std::wstring path = MachinePath();
  const auto text = path.empty() ? std::nullopt : ReadMachineText(path);
  auto machine = text ? platform::sim::ParseMachine(*text) : std::nullopt;
  auto log = text ? platform::sim::ParseSystemLog(*text) : std::nullopt;
  if (!machine || !log) return;
  state_ = std::make_unique<State>();
  state_->path = path;
  state_->world.machine = *std::move(machine);
  state_->fileLog = *std::move(log);
  state_->before = Presence(state_->world.machine);
  state_->volumesBefore = state_->world.machine.volumes;
  services_ = std::make_unique<platform::CoreServices>(state_->machine.Services());
} catch (...) {
  services_.reset();
}

PlatformSession::~PlatformSession() {
  if (!state_) return;
  try {
    const platform::sim::SimWorld& world = state_->world;
    if (Presence(world.machine) != state_->before || world.machine.volumes != state_->volumesBefore) {
      WriteMachineText(state_->path, platform::sim::WriteMachine(world.machine, state_->fileLog));
    }
  } catch (...) {
  }
  SetLastError(state_->world.lastError);  // what the call left, as the real library would
}

}  // namespace ejectra::dll
