// The device removal core's services on a simulated world, answering as
// Windows does: the same results, failure values, last-error codes and
// buffer rules; the last error and pauses are the world's kernel base. Every
// call is logged by its name and fails as planned (a CONFIGRET for
// configuration manager calls, an LSTATUS for registry calls, the last error
// for the others).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/core_services.h"
#include "platform/sim/sim_event_log.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_volumes.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

class SimCoreServices final : public DeviceConfig,
                         public DosDevices,
                         public Desktop,
                         public Strings {
 public:
  static constexpr WindowHandle kDesktopWindow = 0x10010;

  explicit SimCoreServices(SimWorld& world)
      : world_(world), registry_(world), events_(world), volumes_(world) {
    world.calls.Know({"SetupDiDestroyDeviceInfoList", "SetupDiEnumDeviceInfo", "SetupDiEnumDeviceInterfaces", "SetupDiGetClassDevsW", "SetupDiGetDeviceInterfaceDetailW", "CM_Get_DevNode_Registry_PropertyW", "CM_Get_DevNode_Status", "CM_Get_Device_IDW", "CM_Get_Device_ID_ListW", "CM_Get_Parent", "CM_Request_Device_EjectW", "GetDesktopWindow", "QueryDosDeviceW", "StrCpyNW"});
  }
  SimCoreServices(const SimCoreServices&) = delete;
  SimCoreServices& operator=(const SimCoreServices&) = delete;

  CoreServices Services() {
    return CoreServices{*this, registry_, *this, *this, *this, world_.kernel, events_, volumes_};
  }
  SimWorld& World() { return world_; }
  // The machine, for a test to change; the fake's indexes are rebuilt.
  MachineState& State() {
    Forget();
    return world_.machine;
  }
  const MachineState& State() const { return world_.machine; }
  std::size_t OpenSets() const { return sets_.size(); }
  std::size_t OpenKeys() const { return registry_.OpenKeys(); }
  std::size_t OpenEventHandles() const { return events_.OpenHandles(); }
  // The size probe of an interface detail (no buffer) succeeds.
  void SucceedDetailProbe() { detailProbeSucceeds_ = true; }

  // DeviceConfig
  DevInfoHandle SetupDiGetClassDevsW(const Guid* classGuid, WindowHandle owner,
                                     std::uint32_t flags) override;
  bool SetupDiDestroyDeviceInfoList(DevInfoHandle set) override;
  bool SetupDiEnumDeviceInfo(DevInfoHandle set, std::uint32_t index,
                             SpDevinfoData* device) override;
  bool SetupDiEnumDeviceInterfaces(DevInfoHandle set, const SpDevinfoData* device,
                                   const Guid& interfaceClass, std::uint32_t index,
                                   SpDeviceInterfaceData* iface) override;
  bool SetupDiGetDeviceInterfaceDetailW(DevInfoHandle set, const SpDeviceInterfaceData& iface,
                                        void* detail, std::uint32_t detailSize,
                                        std::uint32_t* requiredSize,
                                        SpDevinfoData* device) override;
  ConfigRet CM_Get_Parent(DevInst* parent, DevInst node, std::uint32_t flags) override;
  ConfigRet CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem, DevInst node,
                                  std::uint32_t flags) override;
  ConfigRet CM_Get_DevNode_Registry_PropertyW(DevInst node, std::uint32_t property,
                                              std::uint32_t* regType, void* buffer,
                                              std::uint32_t* length,
                                              std::uint32_t flags) override;
  ConfigRet CM_Get_Device_IDW(DevInst node, char16_t* buffer, std::uint32_t length,
                              std::uint32_t flags) override;
  ConfigRet CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer,
                                   std::uint32_t length, std::uint32_t flags) override;
  ConfigRet CM_Request_Device_EjectW(DevInst node, std::uint32_t* vetoType, char16_t* vetoName,
                                     std::uint32_t vetoNameLength, std::uint32_t flags) override;

  // DosDevices
  std::uint32_t QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                std::uint32_t capacity) override;

  // Desktop
  WindowHandle GetDesktopWindow() override;

  // Strings
  char16_t* StrCpyNW(char16_t* target, const char16_t* source, int capacity) override;

 private:
  struct OpenSet {
    std::vector<DevInst> members;
    // The set's interfaces of one class, in enumeration order, made on first use.
    std::vector<std::pair<Guid, std::vector<std::size_t>>> interfaces;
  };

  // Logs the call; a planned failure's code, if any.
  std::optional<std::uint32_t> Enter(std::string_view call, std::string detail = {}) {
    return world_.calls.Enter(call, std::move(detail));
  }
  bool FailWith(ErrorCode error);
  void Forget();
  const SimDevice* PresentDevice(DevInst node) const;
  DevInst FindPresent(std::u16string_view instanceId);
  const std::vector<std::size_t>& InterfacesOf(OpenSet& set, const Guid& interfaceClass);
  const std::vector<std::vector<std::size_t>>& InterfacesByOwner();
  void Remove(DevInst node);
  // The first node of the subtree at `node` that a process holds open, or 0.
  DevInst HeldIn(DevInst node) const;
  // Logs an event 225 for each holder of `held`, naming the node whose
  // eject was asked for.
  void LogHolders(const SimDevice& held, const std::u16string& requested);

  SimWorld& world_;
  SimRegistry registry_;
  SimEventLog events_;
  SimVolumes volumes_;
  std::map<DevInfoHandle, OpenSet> sets_;
  // Indexes over the machine, dropped whenever State() hands it out for change.
  std::unordered_map<std::u16string, DevInst> index_;  // folded instance ID -> handle
  std::vector<std::vector<std::size_t>> interfacesByOwner_;  // handle - 1 -> interfaces
  DevInfoHandle nextSet_ = 0x1000;
  bool detailProbeSucceeds_ = false;
};

}  // namespace ejectra::platform::sim
