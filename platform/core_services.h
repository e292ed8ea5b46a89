// The platform seam of the device removal core: one small interface per system
// library, each method named after and behaving as the call it forwards. A
// method that stands for a Win32 call reports failure as that call does
// (false, 0 or kInvalidHandleValue, with the reason in the thread's last
// error); one that stands for a configuration manager call returns its
// CONFIGRET; registry methods return the LSTATUS.
//
// Two implementations exist: platform/win32 forwards to the real calls, and
// platform/sim answers from a machine held in memory.
#pragma once

#include <cstdint>

#include "platform/kernel_base.h"
#include "platform/event_log.h"
#include "platform/types.h"

namespace ejectra::platform {

// setupapi: device information sets, device interfaces, configuration manager.
class DeviceConfig {
 public:
  virtual ~DeviceConfig() = default;

  virtual DevInfoHandle SetupDiGetClassDevsW(const Guid* classGuid, WindowHandle owner,
                                             std::uint32_t flags) = 0;
  virtual bool SetupDiDestroyDeviceInfoList(DevInfoHandle set) = 0;
  virtual bool SetupDiEnumDeviceInfo(DevInfoHandle set, std::uint32_t index,
                                     SpDevinfoData* device) = 0;
  virtual bool SetupDiEnumDeviceInterfaces(DevInfoHandle set, const SpDevinfoData* device,
                                           const Guid& interfaceClass, std::uint32_t index,
                                           SpDeviceInterfaceData* iface) = 0;
  // `detail` points at a SP_DEVICE_INTERFACE_DETAIL_DATA_W of `detailSize` bytes.
  virtual bool SetupDiGetDeviceInterfaceDetailW(DevInfoHandle set,
                                                const SpDeviceInterfaceData& iface, void* detail,
                                                std::uint32_t detailSize,
                                                std::uint32_t* requiredSize,
                                                SpDevinfoData* device) = 0;

  virtual ConfigRet CM_Get_Parent(DevInst* parent, DevInst node, std::uint32_t flags) = 0;
  virtual ConfigRet CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem,
                                          DevInst node, std::uint32_t flags) = 0;
  // `length` is in bytes, in and out.
  virtual ConfigRet CM_Get_DevNode_Registry_PropertyW(DevInst node, std::uint32_t property,
                                                      std::uint32_t* regType, void* buffer,
                                                      std::uint32_t* length,
                                                      std::uint32_t flags) = 0;
  // `length` is in characters.
  virtual ConfigRet CM_Get_Device_IDW(DevInst node, char16_t* buffer, std::uint32_t length,
                                      std::uint32_t flags) = 0;
  virtual ConfigRet CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer,
                                           std::uint32_t length, std::uint32_t flags) = 0;
  virtual ConfigRet CM_Request_Device_EjectW(DevInst node, std::uint32_t* vetoType,
                                             char16_t* vetoName, std::uint32_t vetoNameLength,
                                             std::uint32_t flags) = 0;
};

// advapi32: read access to the registry. An access mask may carry
// kKeyWow64_32Key or kKeyWow64_64Key to choose the registry view.
class RegistryReader {
 public:
  virtual ~RegistryReader() = default;

  virtual std::int32_t RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options,
                                     std::uint32_t access, RegKey* key) = 0;
  // `data` may be null to ask for type and size; `size` is in bytes, in and out.
  virtual std::int32_t RegQueryValueExW(RegKey key, const char16_t* valueName,
                                        std::uint32_t* type, void* data,
                                        std::uint32_t* size) = 0;
  virtual std::int32_t RegCloseKey(RegKey key) = 0;
};

// kernel32: DOS device names.
class DosDevices {
 public:
  virtual ~DosDevices() = default;

  // Returns the number of characters stored (a list of NUL-terminated
  // targets ending in an extra NUL), or 0 on failure.
  virtual std::uint32_t QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                        std::uint32_t capacity) = 0;
};

// kernel32: drive types, and volumes opened by their DOS device ("\\.\E:")
// for control requests. An opened volume is closed by KernelBase::CloseHandle.
class Volumes {
 public:
  virtual ~Volumes() = default;

  // A kDrive* value for a root path such as "E:\\".
  virtual std::uint32_t GetDriveTypeW(const char16_t* rootPath) = 0;
  // kInvalidHandleValue on failure.
  virtual Handle CreateFileW(const char16_t* name, std::uint32_t access, std::uint32_t share,
                             std::uint32_t creation, std::uint32_t flags) = 0;
  // Synchronous only; `returned` receives the bytes written to `out`.
  virtual bool DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                               std::uint32_t inSize, void* out, std::uint32_t outSize,
                               std::uint32_t* returned) = 0;
};

// user32: the desktop window, owner of the device sets.
class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual WindowHandle GetDesktopWindow() = 0;
};

// shlwapi: the bounded string copy.
class Strings {
 public:
  virtual ~Strings() = default;

  // Copies at most capacity - 1 characters and always terminates `target`
  // when capacity is positive.
  virtual char16_t* StrCpyNW(char16_t* target, const char16_t* source, int capacity) = 0;
};

// Everything the core reaches, handed to it by the program that hosts it.
struct CoreServices {
  DeviceConfig& devices;
  RegistryReader& registry;
  DosDevices& dosDevices;
  Desktop& desktop;
  Strings& strings;
  KernelBase& kernel;
  EventLog& events;
  Volumes& volumes;

  // The thread's last error, which the device services report through.
  ErrorCode GetLastError() const { return kernel.GetLastError(); }
  void SetLastError(ErrorCode error) const { kernel.SetLastError(error); }
};

}  // namespace ejectra::platform
