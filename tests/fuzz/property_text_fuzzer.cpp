// Any bytes as the texts the core reads from the platform: properties,
// device IDs, DOS targets and relation lists, with any buffer capacities.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pullcore.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"

using namespace ejectra;
using namespace ejectra::platform;

namespace {

std::u16string Units(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | data[i + 1] << 8));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int nameCapacity = static_cast<int8_t>(data[0]);
  const int descriptionCapacity = static_cast<int8_t>(data[1]);
  const std::uint8_t choice = data[2];
  const std::vector<std::uint8_t> bytes(data + 3, data + size);
  const std::u16string text = Units(bytes.data(), bytes.size());

  sim::MachineBuilder builder;
  const sim::UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  switch (choice % 5) {
    case 0:
      builder.Get(stick.volume).Property(kCmDrpPhysicalDeviceObjectName, choice >> 4, bytes);
      break;
    case 1:
      builder.Get(stick.disk).Property(kCmDrpFriendlyName, choice >> 4, bytes);
      builder.Get(stick.usbDevice).Property(kCmDrpDeviceDesc, choice >> 4, bytes);
      break;
    case 2:
      builder.DosDevice(u"E:", {text, u"\\Device\\Other"});
      break;
    case 3:
      builder.Get(stick.disk).RemovalRelations({text}).BusRelations({text, stick.volumeId});
      break;
    case 4:
      builder.State().devices[stick.volume - 1].instanceId = text;
      builder.Get(stick.disk).RemovalRelations({text});
      break;
  }
  sim::SimWorld world(builder.Build());
  sim::SimCoreServices machine(world);
  const CoreServices os = machine.Services();

  std::vector<char16_t> name(128, u'#'), description(128, u'#');
  const int nc = nameCapacity > 128 ? 128 : nameCapacity;
  const int dc = descriptionCapacity > 128 ? 128 : descriptionCapacity;
  if (core::IsRemovableHardwareDriveExW(os, 5, name.data(), nc, description.data(), dc)) {
    // Both texts were written whole, terminated inside their capacity.
    if (std::u16string(name.data()).size() >= std::size_t(nc)) __builtin_trap();
    if (std::u16string(description.data()).size() >= std::size_t(dc)) __builtin_trap();
  }
  core::RemoveHardwareDrive(os, 5);
  if (world.calls.Count("CM_Request_Device_EjectW") > 1 || machine.OpenSets() != 0) __builtin_trap();
  return 0;
}
