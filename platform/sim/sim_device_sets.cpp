// The setupapi half of the simulated machine: device information sets and
// device interfaces.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sim/sim_core_services.h"

namespace ejectra::platform::sim {

namespace {

bool Includes(std::uint32_t flags, std::uint32_t flag) { return (flags & flag) == flag; }

}  // namespace

// --- Device information sets ------------------------------------------------

DevInfoHandle SimCoreServices::SetupDiGetClassDevsW(const Guid* classGuid, WindowHandle owner,
                                               std::uint32_t flags) {
  char ownerText[24];
  std::snprintf(ownerText, sizeof ownerText, "owner 0x%llx", static_cast<unsigned long long>(owner));
  if (const auto fault = Enter("SetupDiGetClassDevsW", ownerText)) {
    FailWith(*fault);
    return kInvalidHandleValue;
  }
  const bool allClasses = Includes(flags, kDigcfAllClasses);
  if (!allClasses && !classGuid) {
    FailWith(kErrorInvalidParameter);
    return kInvalidHandleValue;
  }
  OpenSet set;
  const auto& byOwner = InterfacesByOwner();
  for (std::size_t i = 0; i < world_.machine.devices.size(); ++i) {
    if (Includes(flags, kDigcfPresent) && !world_.machine.devices[i].present) continue;
    // Setup classes are not modelled: only interface sets have members.
    if (!Includes(flags, kDigcfDeviceInterface)) continue;
    const bool exposes = std::any_of(byOwner[i].begin(), byOwner[i].end(), [&](std::size_t k) {
      return allClasses || world_.machine.interfaces[k].interfaceClass == *classGuid;
    });
    if (exposes) set.members.push_back(static_cast<DevInst>(i + 1));
  }
  const DevInfoHandle handle = nextSet_;
  nextSet_ += 0x10;
  sets_.emplace(handle, std::move(set));
  return handle;
}

bool SimCoreServices::SetupDiDestroyDeviceInfoList(DevInfoHandle set) {
  if (const auto fault = Enter("SetupDiDestroyDeviceInfoList")) return FailWith(*fault);
  return sets_.erase(set) != 0 || FailWith(kErrorInvalidHandle);
}

bool SimCoreServices::SetupDiEnumDeviceInfo(DevInfoHandle set, std::uint32_t index,
                                       SpDevinfoData* device) {
  if (const auto fault = Enter("SetupDiEnumDeviceInfo")) return FailWith(*fault);
  const auto it = sets_.find(set);
  if (it == sets_.end()) return FailWith(kErrorInvalidHandle);
  if (!device || device->cbSize != sizeof(SpDevinfoData)) return FailWith(kErrorInvalidUserBuffer);
  if (index >= it->second.members.size()) return FailWith(kErrorNoMoreItems);
  device->DevInst = it->second.members[index];
  device->Reserved = index;
  return true;
}

const std::vector<std::vector<std::size_t>>& SimCoreServices::InterfacesByOwner() {
  if (interfacesByOwner_.size() != world_.machine.devices.size()) {
    interfacesByOwner_.assign(world_.machine.devices.size(), {});
    for (std::size_t k = 0; k < world_.machine.interfaces.size(); ++k) {
      const DevInst owner = world_.machine.interfaces[k].owner;
      if (owner >= 1 && owner <= world_.machine.devices.size()) interfacesByOwner_[owner - 1].push_back(k);
    }
  }
  return interfacesByOwner_;
}

const std::vector<std::size_t>& SimCoreServices::InterfacesOf(OpenSet& set, const Guid& interfaceClass) {
  for (const auto& [cls, found] : set.interfaces) {
    if (cls == interfaceClass) return found;
  }
  std::vector<std::size_t> found;
  const auto& byOwner = InterfacesByOwner();
  for (const DevInst member : set.members) {
    if (member == 0 || member > byOwner.size()) continue;
    for (const std::size_t k : byOwner[member - 1]) {
      if (world_.machine.interfaces[k].interfaceClass == interfaceClass) found.push_back(k);
    }
  }
  return set.interfaces.emplace_back(interfaceClass, std::move(found)).second;
}

bool SimCoreServices::SetupDiEnumDeviceInterfaces(DevInfoHandle set, const SpDevinfoData* device,
                                             const Guid& interfaceClass, std::uint32_t index,
                                             SpDeviceInterfaceData* iface) {
  if (const auto fault = Enter("SetupDiEnumDeviceInterfaces")) return FailWith(*fault);
  const auto it = sets_.find(set);
  if (it == sets_.end()) return FailWith(kErrorInvalidHandle);
  if (!iface || iface->cbSize != sizeof(SpDeviceInterfaceData)) {
    return FailWith(kErrorInvalidUserBuffer);
  }
  OpenSet single{{device ? device->DevInst : 0}, {}};
  const std::vector<std::size_t>& found = InterfacesOf(device ? single : it->second, interfaceClass);
  if (index >= found.size()) return FailWith(kErrorNoMoreItems);
  iface->InterfaceClassGuid = interfaceClass;
  iface->Flags = 0x1;  // SPINT_ACTIVE
  iface->Reserved = found[index] + 1;
  return true;
}

bool SimCoreServices::SetupDiGetDeviceInterfaceDetailW(DevInfoHandle set,
                                                  const SpDeviceInterfaceData& iface,
                                                  void* detail, std::uint32_t detailSize,
                                                  std::uint32_t* requiredSize,
                                                  SpDevinfoData* device) {
  if (const auto fault = Enter("SetupDiGetDeviceInterfaceDetailW")) return FailWith(*fault);
  if (!sets_.count(set)) return FailWith(kErrorInvalidHandle);
  if (iface.Reserved == 0 || iface.Reserved > world_.machine.interfaces.size()) {
    return FailWith(kErrorInvalidParameter);
  }
  if ((!detail && detailSize != 0) || (detail && detailSize < kInterfaceDetailHeaderSize)) {
    return FailWith(kErrorInvalidUserBuffer);
  }
  if (detail) {
    std::uint32_t cbSize = 0;
    std::memcpy(&cbSize, detail, sizeof cbSize);
    if (cbSize != kInterfaceDetailHeaderSize) return FailWith(kErrorInvalidUserBuffer);
  }
  if (device && device->cbSize != sizeof(SpDevinfoData)) return FailWith(kErrorInvalidUserBuffer);

  const SimInterface& found = world_.machine.interfaces[iface.Reserved - 1];
  const std::uint64_t required =
      kInterfaceDetailPathOffset + (std::uint64_t{found.path.size()} + 1) * sizeof(char16_t);
  if (requiredSize) *requiredSize = static_cast<std::uint32_t>(required);
  if (device) device->DevInst = found.owner;
  if (!detail && detailProbeSucceeds_) return true;
  if (detailSize < required) return FailWith(kErrorInsufficientBuffer);

  auto* path = static_cast<unsigned char*>(detail) + kInterfaceDetailPathOffset;
  std::memcpy(path, found.path.c_str(), (found.path.size() + 1) * sizeof(char16_t));
  return true;
}

}  // namespace ejectra::platform::sim
