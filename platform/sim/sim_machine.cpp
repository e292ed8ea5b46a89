#include "platform/sim/sim_machine.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ejectra::platform::sim {

namespace {

std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

bool Includes(std::uint32_t flags, std::uint32_t flag) { return (flags & flag) == flag; }

}  // namespace

void SimMachine::FailCall(SimCall call, std::uint32_t code, std::uint32_t skip,
                          std::uint32_t times) {
  faults_[static_cast<std::size_t>(call)] = Fault{skip, times, code, false};
}

void SimMachine::ThrowOnCall(SimCall call, std::uint32_t skip) {
  faults_[static_cast<std::size_t>(call)] = Fault{skip, 1, 0, true};
}

std::optional<std::uint32_t> SimMachine::Enter(SimCall call) {
  const auto slot = static_cast<std::size_t>(call);
  ++record_.calls[slot];
  Fault& fault = faults_[slot];
  if (fault.times == 0) return std::nullopt;
  if (fault.skip > 0) {
    --fault.skip;
    return std::nullopt;
  }
  --fault.times;
  if (fault.throws) throw std::bad_alloc();
  return fault.code;
}

bool SimMachine::FailWith(ErrorCode error) {
  lastError_ = error;
  return false;
}

std::uint32_t SimMachine::FailWithZero(ErrorCode error) {
  lastError_ = error;
  return 0;
}

const SimDevice* SimMachine::PresentDevice(DevInst node) const {
  const SimDevice* device = state_.Device(node);
  return (device && device->present) ? device : nullptr;
}

DevInst SimMachine::FindPresent(std::u16string_view instanceId) {
  if (index_.empty()) {
    for (std::size_t i = 0; i < state_.devices.size(); ++i) {
      index_.emplace(Folded(state_.devices[i].instanceId), static_cast<DevInst>(i + 1));
    }
  }
  const auto it = index_.find(Folded(instanceId));
  return (it != index_.end() && PresentDevice(it->second)) ? it->second : 0;
}

// --- Device information sets ------------------------------------------------

DevInfoHandle SimMachine::SetupDiGetClassDevsW(const Guid* classGuid, WindowHandle owner,
                                               std::uint32_t flags) {
  if (const auto fault = Enter(SimCall::SetupDiGetClassDevsW)) {
    lastError_ = *fault;
    return kInvalidHandleValue;
  }
  const bool allClasses = Includes(flags, kDigcfAllClasses);
  if (!allClasses && !classGuid) {
    lastError_ = kErrorInvalidParameter;
    return kInvalidHandleValue;
  }
  OpenSet set;
  const auto& byOwner = InterfacesByOwner();
  for (std::size_t i = 0; i < state_.devices.size(); ++i) {
    if (Includes(flags, kDigcfPresent) && !state_.devices[i].present) continue;
    // Setup classes are not modelled: only interface sets have members.
    if (!Includes(flags, kDigcfDeviceInterface)) continue;
    const bool exposes = std::any_of(byOwner[i].begin(), byOwner[i].end(), [&](std::size_t k) {
      return allClasses || state_.interfaces[k].interfaceClass == *classGuid;
    });
    if (exposes) set.members.push_back(static_cast<DevInst>(i + 1));
  }
  const DevInfoHandle handle = nextSet_;
  nextSet_ += 0x10;
  sets_.emplace(handle, std::move(set));
  record_.setsOpened.push_back(handle);
  record_.setOwners.push_back(owner);
  return handle;
}

bool SimMachine::SetupDiDestroyDeviceInfoList(DevInfoHandle set) {
  Enter(SimCall::SetupDiDestroyDeviceInfoList);
  if (sets_.erase(set) == 0) return FailWith(kErrorInvalidHandle);
  record_.setsReleased.push_back(set);
  return true;
}

bool SimMachine::SetupDiEnumDeviceInfo(DevInfoHandle set, std::uint32_t index,
                                       SpDevinfoData* device) {
  if (const auto fault = Enter(SimCall::SetupDiEnumDeviceInfo)) return FailWith(*fault);
  const auto it = sets_.find(set);
  if (it == sets_.end()) return FailWith(kErrorInvalidHandle);
  if (!device || device->cbSize != sizeof(SpDevinfoData)) return FailWith(kErrorInvalidUserBuffer);
  if (index >= it->second.members.size()) return FailWith(kErrorNoMoreItems);
  device->DevInst = it->second.members[index];
  device->Reserved = index;
  return true;
}

const std::vector<std::vector<std::size_t>>& SimMachine::InterfacesByOwner() {
  if (interfacesByOwner_.size() != state_.devices.size()) {
    interfacesByOwner_.assign(state_.devices.size(), {});
    for (std::size_t k = 0; k < state_.interfaces.size(); ++k) {
      const DevInst owner = state_.interfaces[k].owner;
      if (owner >= 1 && owner <= state_.devices.size()) interfacesByOwner_[owner - 1].push_back(k);
    }
  }
  return interfacesByOwner_;
}

const std::vector<std::size_t>& SimMachine::InterfacesOf(OpenSet& set, const Guid& interfaceClass) {
  for (const auto& [cls, found] : set.interfaces) {
    if (cls == interfaceClass) return found;
  }
  std::vector<std::size_t> found;
  const auto& byOwner = InterfacesByOwner();
  for (const DevInst member : set.members) {
    if (member == 0 || member > byOwner.size()) continue;
    for (const std::size_t k : byOwner[member - 1]) {
      if (state_.interfaces[k].interfaceClass == interfaceClass) found.push_back(k);
    }
  }
  return set.interfaces.emplace_back(interfaceClass, std::move(found)).second;
}

bool SimMachine::SetupDiEnumDeviceInterfaces(DevInfoHandle set, const SpDevinfoData* device,
                                             const Guid& interfaceClass, std::uint32_t index,
                                             SpDeviceInterfaceData* iface) {
  if (const auto fault = Enter(SimCall::SetupDiEnumDeviceInterfaces)) return FailWith(*fault);
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

bool SimMachine::SetupDiGetDeviceInterfaceDetailW(DevInfoHandle set,
                                                  const SpDeviceInterfaceData& iface,
                                                  void* detail, std::uint32_t detailSize,
                                                  std::uint32_t* requiredSize,
                                                  SpDevinfoData* device) {
  if (const auto fault = Enter(SimCall::SetupDiGetDeviceInterfaceDetailW)) {
    return FailWith(*fault);
  }
  if (!sets_.count(set)) return FailWith(kErrorInvalidHandle);
  if (iface.Reserved == 0 || iface.Reserved > state_.interfaces.size()) {
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

  const SimInterface& found = state_.interfaces[iface.Reserved - 1];
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

// --- Configuration manager --------------------------------------------------

ConfigRet SimMachine::CM_Get_Parent(DevInst* parent, DevInst node, std::uint32_t) {
  if (const auto fault = Enter(SimCall::CM_Get_Parent)) return *fault;
  if (!parent) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (!PresentDevice(device->parent)) return kCrNoSuchDevNode;
  *parent = device->parent;
  return kCrSuccess;
}

ConfigRet SimMachine::CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem,
                                            DevInst node, std::uint32_t) {
  if (const auto fault = Enter(SimCall::CM_Get_DevNode_Status)) return *fault;
  if (!status || !problem) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (!device->statusReadable) return kCrNoSuchDevNode;
  *status = device->status;
  *problem = device->problem;
  return kCrSuccess;
}

ConfigRet SimMachine::CM_Get_DevNode_Registry_PropertyW(DevInst node, std::uint32_t property,
                                                        std::uint32_t* regType, void* buffer,
                                                        std::uint32_t* length, std::uint32_t) {
  if (const auto fault = Enter(SimCall::CM_Get_DevNode_Registry_PropertyW)) return *fault;
  if (!length || (!buffer && *length != 0)) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  const auto it = device->properties.find(property);
  if (it == device->properties.end()) return kCrNoSuchValue;
  const std::vector<std::uint8_t>& data = it->second.data;
  if (regType) *regType = it->second.type;
  if (*length < data.size()) {
    *length = static_cast<std::uint32_t>(data.size());
    return kCrBufferSmall;
  }
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  *length = static_cast<std::uint32_t>(data.size());
  return kCrSuccess;
}

ConfigRet SimMachine::CM_Get_Device_IDW(DevInst node, char16_t* buffer, std::uint32_t length,
                                        std::uint32_t) {
  if (const auto fault = Enter(SimCall::CM_Get_Device_IDW)) return *fault;
  if (!buffer) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (!device->deviceIdReadable) return kCrNoSuchValue;
  const std::u16string& id = device->instanceId;
  if (length < id.size()) return kCrBufferSmall;
  // Windows stores the terminator only where it fits, and still succeeds.
  std::copy(id.begin(), id.end(), buffer);
  if (length > id.size()) buffer[id.size()] = u'\0';
  return kCrSuccess;
}

ConfigRet SimMachine::CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer,
                                             std::uint32_t length, std::uint32_t flags) {
  if (const auto fault = Enter(SimCall::CM_Get_Device_ID_ListW)) return *fault;
  if (!buffer || length == 0) return kCrInvalidPointer;
  const bool removal = Includes(flags, kCmGetIdListFilterRemovalRelations);
  const bool bus = Includes(flags, kCmGetIdListFilterBusRelations);
  if (removal == bus) return kCrFailure;  // one relation kind at a time is modelled
  const DevInst node = FindPresent(View(filter));
  if (node == 0) return kCrInvalidDeviceId;
  const SimDevice& device = *state_.Device(node);
  const auto& ids = removal ? device.removalRelations : device.busRelations;

  std::u16string list;
  for (const std::u16string& id : ids) {
    list += id;
    list += u'\0';
  }
  list += u'\0';
  if (list.size() > length) return kCrBufferSmall;
  std::copy(list.begin(), list.end(), buffer);
  return kCrSuccess;
}

ConfigRet SimMachine::CM_Request_Device_EjectW(DevInst node, std::uint32_t* vetoType,
                                               char16_t* vetoName, std::uint32_t vetoNameLength,
                                               std::uint32_t) {
  if (const auto fault = Enter(SimCall::CM_Request_Device_EjectW)) return *fault;
  record_.ejectRequests.push_back(node);
  if (!vetoName && vetoNameLength != 0) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (device->ejectAnswer != kCrSuccess) {
    if (vetoType) *vetoType = 1;  // PNP_VetoLegacyDevice
    return device->ejectAnswer;
  }
  Remove(node);
  return kCrSuccess;
}

void SimMachine::Remove(DevInst node) {
  std::vector<DevInst> pending{node};
  while (!pending.empty()) {
    const DevInst gone = pending.back();
    pending.pop_back();
    state_.Device(gone)->present = false;
    for (std::size_t i = 0; i < state_.devices.size(); ++i) {
      if (state_.devices[i].parent == gone && state_.devices[i].present) {
        pending.push_back(static_cast<DevInst>(i + 1));
      }
    }
  }
}

// --- Registry ---------------------------------------------------------------

std::int32_t SimMachine::RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t,
                                       std::uint32_t, RegKey* key) {
  if (const auto fault = Enter(SimCall::RegOpenKeyExW)) return static_cast<std::int32_t>(*fault);
  if (!key) return kErrorInvalidParameter;
  if (root != kHkeyLocalMachine) return kErrorInvalidHandle;
  const std::u16string path(View(subKey));
  if (!state_.localMachine.count(path)) return kErrorFileNotFound;
  *key = nextKey_;
  nextKey_ += 4;
  keys_.emplace(*key, path);
  return kErrorSuccess;
}

std::int32_t SimMachine::RegQueryValueExW(RegKey key, const char16_t* valueName,
                                          std::uint32_t* type, void* data,
                                          std::uint32_t* size) {
  if (const auto fault = Enter(SimCall::RegQueryValueExW)) {
    return static_cast<std::int32_t>(*fault);
  }
  const auto open = keys_.find(key);
  if (open == keys_.end()) return kErrorInvalidHandle;
  if (data && !size) return kErrorInvalidParameter;
  const SimRegistryKey& values = state_.localMachine.at(open->second);
  const auto it = values.find(std::u16string(View(valueName)));
  if (it == values.end()) return kErrorFileNotFound;
  const SimRegistryValue& value = it->second;
  if (type) *type = value.type;
  if (!size) return kErrorSuccess;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  if (data && *size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  if (data && needed) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

std::int32_t SimMachine::RegCloseKey(RegKey key) {
  Enter(SimCall::RegCloseKey);
  return keys_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

// --- Kernel and shell -------------------------------------------------------

std::uint32_t SimMachine::QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                          std::uint32_t capacity) {
  if (const auto fault = Enter(SimCall::QueryDosDeviceW)) return FailWithZero(*fault);
  if (!deviceName || !targets) return FailWithZero(kErrorInvalidParameter);
  const auto it = state_.dosDevices.find(std::u16string(deviceName));
  if (it == state_.dosDevices.end()) return FailWithZero(kErrorFileNotFound);
  std::u16string list;
  for (const std::u16string& target : it->second) {
    list += target;
    list += u'\0';
  }
  list += u'\0';
  if (list.size() > capacity) return FailWithZero(kErrorInsufficientBuffer);
  std::copy(list.begin(), list.end(), targets);
  return static_cast<std::uint32_t>(list.size());
}

void SimMachine::Sleep(std::uint32_t milliseconds) {
  Enter(SimCall::Sleep);
  record_.sleeps.push_back(milliseconds);
  clock_ += milliseconds;
}

char16_t* SimMachine::StrCpyNW(char16_t* target, const char16_t* source, int capacity) {
  if (capacity <= 0) return target;
  const std::u16string_view text = View(source);
  const std::size_t count = std::min<std::size_t>(text.size(), std::size_t(capacity) - 1);
  std::copy_n(text.begin(), count, target);
  target[count] = u'\0';
  return target;
}

}  // namespace ejectra::platform::sim
