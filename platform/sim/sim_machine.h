// A machine held in memory that answers the core's platform calls as Windows
// does: the same results, failure values, last-error codes and buffer rules.
// It keeps a virtual clock (Sleep never waits), records the calls that
// matter, and fails or throws on request.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/core_services.h"
#include "platform/sim/machine_state.h"

namespace ejectra::platform::sim {

enum class SimCall {
  SetupDiGetClassDevsW,
  SetupDiDestroyDeviceInfoList,
  SetupDiEnumDeviceInfo,
  SetupDiEnumDeviceInterfaces,
  SetupDiGetDeviceInterfaceDetailW,
  CM_Get_Parent,
  CM_Get_DevNode_Status,
  CM_Get_DevNode_Registry_PropertyW,
  CM_Get_Device_IDW,
  CM_Get_Device_ID_ListW,
  CM_Request_Device_EjectW,
  RegOpenKeyExW,
  RegQueryValueExW,
  RegCloseKey,
  QueryDosDeviceW,
  Sleep,
  kCount
};

struct SimRecord {
  std::vector<DevInst> ejectRequests;
  std::vector<std::uint32_t> sleeps;
  std::vector<DevInfoHandle> setsOpened;
  std::vector<DevInfoHandle> setsReleased;
  std::vector<WindowHandle> setOwners;
  std::array<std::uint32_t, static_cast<std::size_t>(SimCall::kCount)> calls{};

  std::uint32_t Count(SimCall call) const { return calls[static_cast<std::size_t>(call)]; }
};

class SimMachine final : public DeviceConfig,
                         public RegistryReader,
                         public Kernel,
                         public Shell {
 public:
  static constexpr WindowHandle kDesktopWindow = 0x10010;

  SimMachine() = default;
  explicit SimMachine(MachineState state) : state_(std::move(state)) {}

  CoreServices Services() { return CoreServices{*this, *this, *this, *this}; }

  const MachineState& State() const { return state_; }
  MachineState& State() {
    index_.clear();
    interfacesByOwner_.clear();
    return state_;
  }
  const SimRecord& Record() const { return record_; }
  std::uint64_t NowMilliseconds() const { return clock_; }
  std::size_t OpenSets() const { return sets_.size(); }
  std::size_t OpenKeys() const { return keys_.size(); }

  // The (skip + 1)-th next call of `call` and the `times - 1` after it fail
  // with `code`: a CONFIGRET for configuration manager calls, an LSTATUS for
  // registry calls, the last error for the others.
  void FailCall(SimCall call, std::uint32_t code, std::uint32_t skip = 0,
                std::uint32_t times = 1);
  // The (skip + 1)-th next call of `call` throws std::bad_alloc, as a
  // wrapper that ran out of memory would.
  void ThrowOnCall(SimCall call, std::uint32_t skip = 0);
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

  // RegistryReader
  std::int32_t RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* key) override;
  std::int32_t RegQueryValueExW(RegKey key, const char16_t* valueName, std::uint32_t* type,
                                void* data, std::uint32_t* size) override;
  std::int32_t RegCloseKey(RegKey key) override;

  // Kernel
  std::uint32_t QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                std::uint32_t capacity) override;
  void Sleep(std::uint32_t milliseconds) override;
  ErrorCode GetLastError() override { return lastError_; }
  void SetLastError(ErrorCode error) override { lastError_ = error; }

  // Shell
  WindowHandle GetDesktopWindow() override { return kDesktopWindow; }
  char16_t* StrCpyNW(char16_t* target, const char16_t* source, int capacity) override;

 private:
  struct OpenSet {
    std::vector<DevInst> members;
    // The set's interfaces of one class, in enumeration order, made on first use.
    std::vector<std::pair<Guid, std::vector<std::size_t>>> interfaces;
  };
  struct Fault {
    std::uint32_t skip = 0;
    std::uint32_t times = 0;
    std::uint32_t code = 0;
    bool throws = false;
  };

  // Counts the call and answers the fault armed for it, if any.
  std::optional<std::uint32_t> Enter(SimCall call);
  const SimDevice* PresentDevice(DevInst node) const;
  DevInst FindPresent(std::u16string_view instanceId);
  const std::vector<std::size_t>& InterfacesOf(OpenSet& set, const Guid& interfaceClass);
  const std::vector<std::vector<std::size_t>>& InterfacesByOwner();
  bool FailWith(ErrorCode error);
  std::uint32_t FailWithZero(ErrorCode error);
  void Remove(DevInst node);

  MachineState state_;
  SimRecord record_;
  std::map<DevInfoHandle, OpenSet> sets_;
  std::map<RegKey, std::u16string> keys_;
  // Caches over state_, dropped whenever State() hands it out for change.
  std::unordered_map<std::u16string, DevInst> index_;  // folded instance ID -> handle
  std::vector<std::vector<std::size_t>> interfacesByOwner_;  // handle - 1 -> interfaces
  std::array<Fault, static_cast<std::size_t>(SimCall::kCount)> faults_{};
  DevInfoHandle nextSet_ = 0x1000;
  RegKey nextKey_ = 0x2000;
  std::uint64_t clock_ = 0;
  ErrorCode lastError_ = 0;
  bool detailProbeSucceeds_ = false;
};

}  // namespace ejectra::platform::sim
