#include "platform/sim/machine_state.h"

namespace ejectra::platform::sim {

DevInst MachineState::Find(std::u16string_view instanceId) const {
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (EqualsIgnoringAsciiCase(devices[i].instanceId, instanceId)) {
      return static_cast<DevInst>(i + 1);
    }
  }
  return 0;
}

SimDevice* MachineState::Device(DevInst handle) {
  return (handle == 0 || handle > devices.size()) ? nullptr : &devices[handle - 1];
}

const SimDevice* MachineState::Device(DevInst handle) const {
  return (handle == 0 || handle > devices.size()) ? nullptr : &devices[handle - 1];
}

std::uint32_t MachineState::DriveMask() const {
  std::uint32_t mask = 0;
  for (const auto& [name, targets] : dosDevices) {
    if (name.size() == 2 && name[1] == u':') {
      const char16_t letter = FoldAsciiCase(name[0]);
      if (letter >= u'a' && letter <= u'z') mask |= 1u << (letter - u'a');
    }
  }
  return mask;
}

SimProperty TextProperty(std::u16string_view text) {
  return SimProperty{kRegSz, EncodeUtf16le(text, true)};
}

}  // namespace ejectra::platform::sim
