#include "tests/wine/system_dlls/device_world.h"

#include <vector>

#include "platform/sim/machine_file.h"
#include "core/dll/machine_store.h"

namespace ejectra::tests::system_dlls {

namespace {

using namespace platform;
using namespace platform::sim;
using namespace ejectra::dll;

DeviceWorld* Load() {
  auto* devices = new DeviceWorld;  // lives as long as the process
  const std::wstring path = MachinePath();
  const auto text = path.empty() ? std::nullopt : ReadMachineText(path);
  auto machine = text ? ParseMachine(*text) : std::nullopt;
  auto log = text ? ParseSystemLog(*text) : std::nullopt;
  if (machine && log) {
    devices->path = path;
    devices->world.machine = *std::move(machine);
    devices->world.systemLog = *std::move(log);
  }
  return devices;
}

std::vector<bool> Presence(const MachineState& machine) {
  std::vector<bool> present;
  for (const SimDevice& device : machine.devices) present.push_back(device.present);
  return present;
}

}  // namespace

DeviceWorld& Devices() {
  static DeviceWorld* const devices = Load();
  return *devices;
}

ConfigRet EjectOnRealTime(DevInst node, std::uint32_t* vetoType, char16_t* vetoName,
                          std::uint32_t vetoNameLength, std::uint32_t flags) {
  DeviceWorld& devices = Devices();
  SimWorld& world = devices.world;
  // The world's clock never goes back; a record's delay is counted from it
  // and then laid on the real time of the request.
  const std::uint64_t now = WorldNow();
  if (now > world.clock.Now()) world.clock.Advance(now - world.clock.Now());
  const std::uint64_t start = world.clock.Now();
  const std::size_t logged = world.systemLog.size();
  const std::vector<bool> before = Presence(world.machine);

  const ConfigRet answer =
      devices.machine.CM_Request_Device_EjectW(node, vetoType, vetoName, vetoNameLength, flags);
  while (world.clock.RunNext(~std::uint64_t{0})) {
  }
  for (std::size_t i = logged; i < world.systemLog.size(); ++i) {
    world.systemLog[i].created = now + (world.systemLog[i].created - start);
  }

  if (!devices.path.empty() &&
      (world.systemLog.size() != logged || Presence(world.machine) != before)) {
    WriteMachineText(devices.path, WriteMachine(world.machine, world.systemLog));
  }
  return answer;
}

}  // namespace ejectra::tests::system_dlls
