#include "platform/sim/machine_state.h"

#include <algorithm>

namespace ejectra::platform::sim {

namespace {
char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }
}  // namespace

bool LessIgnoringAsciiCase::operator()(std::u16string_view a,
                                       std::u16string_view b) const noexcept {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
}

DevInst MachineState::Find(std::u16string_view instanceId) const {
  const LessIgnoringAsciiCase less;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const std::u16string_view id = devices[i].instanceId;
    if (!less(id, instanceId) && !less(instanceId, id)) return static_cast<DevInst>(i + 1);
  }
  return 0;
}

SimDevice* MachineState::Device(DevInst handle) {
  return (handle == 0 || handle > devices.size()) ? nullptr : &devices[handle - 1];
}

const SimDevice* MachineState::Device(DevInst handle) const {
  return (handle == 0 || handle > devices.size()) ? nullptr : &devices[handle - 1];
}

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool withNul) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  if (withNul) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

SimProperty TextProperty(std::u16string_view text) {
  return SimProperty{kRegSz, Utf16Bytes(text, true)};
}

}  // namespace ejectra::platform::sim
