#include "platform/sim/sim_core_services.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

bool Includes(std::uint32_t flags, std::uint32_t flag) { return (flags & flag) == flag; }

void CopyVetoName(std::u16string_view name, char16_t* vetoName, std::uint32_t vetoNameLength) {
  if (!vetoName || vetoNameLength == 0) return;
  const std::size_t length = std::min<std::size_t>(name.size(), vetoNameLength - 1);
  std::copy_n(name.begin(), length, vetoName);
  vetoName[length] = u'\0';
}

}  // namespace

bool SimCoreServices::FailWith(ErrorCode error) {
  world_.lastError = error;
  return false;
}

void SimCoreServices::Forget() {
  index_.clear();
  interfacesByOwner_.clear();
}

const SimDevice* SimCoreServices::PresentDevice(DevInst node) const {
  const SimDevice* device = world_.machine.Device(node);
  return (device && device->present) ? device : nullptr;
}

DevInst SimCoreServices::FindPresent(std::u16string_view instanceId) {
  const auto& devices = world_.machine.devices;
  if (index_.empty()) {
    for (std::size_t i = 0; i < devices.size(); ++i) {
      index_.emplace(FoldedAsciiCase(devices[i].instanceId), static_cast<DevInst>(i + 1));
    }
  }
  const auto it = index_.find(FoldedAsciiCase(instanceId));
  return (it != index_.end() && PresentDevice(it->second)) ? it->second : 0;
}

// --- Configuration manager --------------------------------------------------

ConfigRet SimCoreServices::CM_Get_Parent(DevInst* parent, DevInst node, std::uint32_t) {
  if (const auto fault = Enter("CM_Get_Parent")) return *fault;
  if (!parent) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (!PresentDevice(device->parent)) return kCrNoSuchDevNode;
  *parent = device->parent;
  return kCrSuccess;
}

ConfigRet SimCoreServices::CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem,
                                            DevInst node, std::uint32_t) {
  if (const auto fault = Enter("CM_Get_DevNode_Status")) return *fault;
  if (!status || !problem) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (!device->statusReadable) return kCrNoSuchDevNode;
  *status = device->status;
  *problem = 0;  // no caller reads the problem code: the status bit says enough
  return kCrSuccess;
}

ConfigRet SimCoreServices::CM_Get_DevNode_Registry_PropertyW(DevInst node, std::uint32_t property,
                                                        std::uint32_t* regType, void* buffer,
                                                        std::uint32_t* length, std::uint32_t) {
  if (const auto fault = Enter("CM_Get_DevNode_Registry_PropertyW")) return *fault;
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

ConfigRet SimCoreServices::CM_Get_Device_IDW(DevInst node, char16_t* buffer, std::uint32_t length,
                                        std::uint32_t) {
  if (const auto fault = Enter("CM_Get_Device_IDW")) return *fault;
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

ConfigRet SimCoreServices::CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer,
                                             std::uint32_t length, std::uint32_t flags) {
  if (const auto fault = Enter("CM_Get_Device_ID_ListW")) return *fault;
  if (!buffer || length == 0) return kCrInvalidPointer;
  const bool removal = Includes(flags, kCmGetIdListFilterRemovalRelations);
  const bool bus = Includes(flags, kCmGetIdListFilterBusRelations);
  if (removal == bus) return kCrFailure;  // one relation kind at a time is modelled
  const DevInst node = FindPresent(View(filter));
  if (node == 0) return kCrInvalidDeviceId;
  const SimDevice& device = *world_.machine.Device(node);
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

ConfigRet SimCoreServices::CM_Request_Device_EjectW(DevInst node, std::uint32_t* vetoType,
                                               char16_t* vetoName, std::uint32_t vetoNameLength,
                                               std::uint32_t) {
  const SimDevice* target = world_.machine.Device(node);
  if (const auto fault = Enter("CM_Request_Device_EjectW",
                               target ? Utf16ToUtf8(target->instanceId) : std::to_string(node))) {
    return *fault;
  }
  if (!vetoName && vetoNameLength != 0) return kCrInvalidPointer;
  const SimDevice* device = PresentDevice(node);
  if (!device) return kCrInvalidDevNode;
  if (device->ejectAnswer != kCrSuccess) {
    if (vetoType) *vetoType = 1;  // PNP_VetoLegacyDevice, named by the device's instance path
    CopyVetoName(device->instanceId, vetoName, vetoNameLength);
    return device->ejectAnswer;
  }
  if (const DevInst held = HeldIn(node)) {
    const SimDevice& holder = *world_.machine.Device(held);
    if (vetoType) *vetoType = 5;  // PNP_VetoOutstandingOpen, named by the node held open
    CopyVetoName(holder.instanceId, vetoName, vetoNameLength);
    LogHolders(holder, device->instanceId);
    return device->vetoWithSuccess && vetoType ? kCrSuccess : kCrRemoveVetoed;
  }
  Remove(node);
  return kCrSuccess;
}

DevInst SimCoreServices::HeldIn(DevInst node) const {
  // What goes with the node: its subtree, and what its nodes name among
  // their removal relations (a disk's volumes live under the volume manager).
  std::vector<DevInst> pending{node};
  std::vector<bool> seen(world_.machine.devices.size() + 1);
  while (!pending.empty()) {
    const DevInst next = pending.back();
    pending.pop_back();
    const SimDevice* device = world_.machine.Device(next);
    if (!device || !device->present || seen[next]) continue;
    seen[next] = true;
    if (!device->holders.empty()) return next;
    for (std::size_t i = 0; i < world_.machine.devices.size(); ++i) {
      if (world_.machine.devices[i].parent == next) pending.push_back(static_cast<DevInst>(i + 1));
    }
    for (const std::u16string& related : device->removalRelations) {
      pending.push_back(world_.machine.Find(related));
    }
  }
  return 0;
}

void SimCoreServices::LogHolders(const SimDevice& held, const std::u16string& requested) {
  std::vector<SimEvent> events;
  for (const SimHolder& holder : held.holders) {
    SimEvent event{u"Microsoft-Windows-Kernel-PnP", 225, 0, {}, {}};
    event.texts[u"ProcessName"] = holder.imagePath;
    event.texts[u"DeviceInstance"] = requested;
    event.numbers[u"ProcessId"] = holder.processId;
    events.push_back(std::move(event));
  }
  SimWorld& world = world_;
  auto log = [&world, events]() mutable {
    for (SimEvent& event : events) {
      event.created = world.clock.Now();
      world.systemLog.push_back(event);
    }
  };
  if (held.eventDelay == 0) {
    log();
  } else {
    world_.clock.At(world_.clock.Now() + held.eventDelay, log);
  }
}

void SimCoreServices::Remove(DevInst node) {
  std::vector<DevInst> pending{node};
  while (!pending.empty()) {
    const DevInst gone = pending.back();
    pending.pop_back();
    world_.machine.Device(gone)->present = false;
    for (std::size_t i = 0; i < world_.machine.devices.size(); ++i) {
      if (world_.machine.devices[i].parent == gone && world_.machine.devices[i].present) {
        pending.push_back(static_cast<DevInst>(i + 1));
      }
    }
  }
}

// --- DOS names and strings -------------------------------------------------------

std::uint32_t SimCoreServices::QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                          std::uint32_t capacity) {
  const auto fail = [&](ErrorCode error) {
    world_.lastError = error;
    return 0u;
  };
  if (const auto fault = Enter("QueryDosDeviceW")) return fail(*fault);
  if (!deviceName || !targets) return fail(kErrorInvalidParameter);
  const auto it = world_.machine.dosDevices.find(std::u16string_view(deviceName));
  if (it == world_.machine.dosDevices.end()) return fail(kErrorFileNotFound);
  std::u16string list;
  for (const std::u16string& target : it->second) {
    list += target;
    list += u'\0';
  }
  list += u'\0';
  if (list.size() > capacity) return fail(kErrorInsufficientBuffer);
  std::copy(list.begin(), list.end(), targets);
  return static_cast<std::uint32_t>(list.size());
}

WindowHandle SimCoreServices::GetDesktopWindow() {
  Enter("GetDesktopWindow");  // it cannot fail: logged only
  return kDesktopWindow;
}

char16_t* SimCoreServices::StrCpyNW(char16_t* target, const char16_t* source, int capacity) {
  Enter("StrCpyNW");  // it cannot fail: logged only
  if (capacity <= 0) return target;
  const std::u16string_view text = View(source);
  const std::size_t count = std::min<std::size_t>(text.size(), std::size_t(capacity) - 1);
  std::copy_n(text.begin(), count, target);
  target[count] = u'\0';
  return target;
}

}  // namespace ejectra::platform::sim
