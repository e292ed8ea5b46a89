// The core's platform seam on real Windows: every method forwards to the
// call it is named after.
#pragma once

#include "platform/core_services.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_registry_reader.h"

namespace ejectra::platform::win32 {

class Win32CoreServices final : public DeviceConfig,
                                public DosDevices,
                                public Desktop,
                                public Strings,
                                public Volumes {
 public:
  explicit Win32CoreServices(KernelBase& kernel) : kernel_(kernel) {}
  CoreServices Services() {
    return CoreServices{*this, registry_, *this, *this, *this, kernel_, events_, *this};
  }

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

  std::uint32_t QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                std::uint32_t capacity) override;

  WindowHandle GetDesktopWindow() override;
  char16_t* StrCpyNW(char16_t* target, const char16_t* source, int capacity) override;

  std::uint32_t GetDriveTypeW(const char16_t* rootPath) override;
  Handle CreateFileW(const char16_t* name, std::uint32_t access, std::uint32_t share,
                     std::uint32_t creation, std::uint32_t flags) override;
  bool DeviceIoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                       void* out, std::uint32_t outSize, std::uint32_t* returned) override;

 private:
  Win32RegistryReader registry_;  // the core only reads
  KernelBase& kernel_;
  Win32EventLog events_;
};

}  // namespace ejectra::platform::win32
