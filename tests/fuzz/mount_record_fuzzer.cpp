// Any bytes as a drive's mount record, of any registry type.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pullcore.h"
#include "core/resolution.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"

using namespace ejectra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  platform::sim::MachineBuilder builder;
  builder.AddUsbStick(u'E', u"Stick");
  builder.DosDevice(u"E:", {u"\\Device\\Elsewhere"});  // leave only the mount record path
  const std::uint32_t type = data[0] % 8;
  builder.MountRecordData(u'E', type, std::vector<std::uint8_t>(data + 1, data + size));
  platform::sim::SimWorld world(builder.Build());
  world.calls.KeepLog(false);
  platform::sim::SimCoreServices machine(world);
  const platform::CoreServices os = machine.Services();

  std::u16string link;
  if (core::ReadMountLink(os, *Drive::FromNumber(5), link) && (link.size() < 4 || link.compare(0, 4, u"\\\\?\\") != 0)) {
    __builtin_trap();  // a link always has the interface path prefix
  }
  char16_t name[16], description[16];
  core::IsRemovableHardwareDriveExW(os, 5, name, 16, description, 16);
  if (machine.OpenKeys() != 0 || machine.OpenSets() != 0) __builtin_trap();
  return 0;
}
