#include "platform/win32/win32_core_services.h"

#include <windows.h>
// windows.h first
#include <cfgmgr32.h>
#include <setupapi.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <bit>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

// The portable mirrors must match the platform's own layout and values.
static_assert(sizeof(SpDevinfoData) == sizeof(SP_DEVINFO_DATA));
static_assert(sizeof(SpDeviceInterfaceData) == sizeof(SP_DEVICE_INTERFACE_DATA));
static_assert(kInterfaceDetailHeaderSize == sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
static_assert(kInterfaceDetailPathOffset == offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath));
static_assert(sizeof(Guid) == sizeof(GUID));
static_assert(kCrSuccess == CR_SUCCESS && kCrInvalidPointer == CR_INVALID_POINTER &&
              kCrInvalidDevNode == CR_INVALID_DEVNODE && kCrNoSuchDevNode == CR_NO_SUCH_DEVNODE &&
              kCrFailure == CR_FAILURE && kCrRemoveVetoed == CR_REMOVE_VETOED &&
              kCrBufferSmall == CR_BUFFER_SMALL && kCrInvalidDeviceId == CR_INVALID_DEVICE_ID &&
              kCrNoSuchValue == CR_NO_SUCH_VALUE);
static_assert(kDnRemovable == DN_REMOVABLE && kDnDisableable == DN_DISABLEABLE &&
              kDnHasProblem == DN_HAS_PROBLEM);
static_assert(kCmDrpDeviceDesc == CM_DRP_DEVICEDESC && kCmDrpFriendlyName == CM_DRP_FRIENDLYNAME &&
              kCmDrpPhysicalDeviceObjectName == CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME);
static_assert(kCmGetIdListFilterRemovalRelations == CM_GETIDLIST_FILTER_REMOVALRELATIONS &&
              kCmGetIdListFilterBusRelations == CM_GETIDLIST_FILTER_BUSRELATIONS);
static_assert(kDigcfPresent == DIGCF_PRESENT && kDigcfAllClasses == DIGCF_ALLCLASSES &&
              kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE);
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED &&
              kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY &&
              kErrorGenFailure == ERROR_GEN_FAILURE &&
              kErrorInvalidParameter == ERROR_INVALID_PARAMETER &&
              kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER &&
              kErrorModNotFound == ERROR_MOD_NOT_FOUND &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS && kErrorMoreData == ERROR_MORE_DATA &&
              kErrorNoMoreItems == ERROR_NO_MORE_ITEMS && kErrorNotOwner == ERROR_NOT_OWNER &&
              kErrorKeyDeleted == ERROR_KEY_DELETED &&
              kErrorInvalidUserBuffer == ERROR_INVALID_USER_BUFFER &&
              kErrorInvalidFunction == ERROR_INVALID_FUNCTION &&
              kErrorNotReady == ERROR_NOT_READY &&
              kErrorSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(kDriveUnknown == DRIVE_UNKNOWN && kDriveNoRootDir == DRIVE_NO_ROOT_DIR &&
              kDriveRemovable == DRIVE_REMOVABLE && kDriveFixed == DRIVE_FIXED &&
              kDriveRemote == DRIVE_REMOTE && kDriveCdrom == DRIVE_CDROM &&
              kDriveRamdisk == DRIVE_RAMDISK);
static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE &&
              kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE &&
              kOpenExisting == OPEN_EXISTING);
static_assert(kFsctlLockVolume == FSCTL_LOCK_VOLUME &&
              kFsctlDismountVolume == FSCTL_DISMOUNT_VOLUME &&
              kIoctlStorageMediaRemoval == IOCTL_STORAGE_MEDIA_REMOVAL &&
              kIoctlStorageEjectMedia == IOCTL_STORAGE_EJECT_MEDIA);
static_assert(sizeof(PREVENT_MEDIA_REMOVAL) == 1);

// INVALID_HANDLE_VALUE casts to whatever HANDLE names where it is used; here
// that is the portable handle type, so the header's own value is compared.
namespace checked {
using HANDLE = DevInfoHandle;
static_assert(kInvalidHandleValue == INVALID_HANDLE_VALUE);
}  // namespace checked

namespace {

HDEVINFO Set(DevInfoHandle set) { return reinterpret_cast<HDEVINFO>(set); }

}  // namespace

DevInfoHandle Win32CoreServices::SetupDiGetClassDevsW(const Guid* classGuid, WindowHandle owner,
                                                      std::uint32_t flags) {
  GUID cls{};
  if (classGuid) cls = std::bit_cast<GUID>(*classGuid);
  const HDEVINFO set = ::SetupDiGetClassDevsW(classGuid ? &cls : nullptr, nullptr,
                                              reinterpret_cast<HWND>(owner), flags);
  return reinterpret_cast<DevInfoHandle>(set);
}

bool Win32CoreServices::SetupDiDestroyDeviceInfoList(DevInfoHandle set) {
  return ::SetupDiDestroyDeviceInfoList(Set(set)) != FALSE;
}

bool Win32CoreServices::SetupDiEnumDeviceInfo(DevInfoHandle set, std::uint32_t index,
                                              SpDevinfoData* device) {
  auto native = std::bit_cast<SP_DEVINFO_DATA>(*device);
  const BOOL ok = ::SetupDiEnumDeviceInfo(Set(set), index, &native);
  *device = std::bit_cast<SpDevinfoData>(native);
  return ok != FALSE;
}

bool Win32CoreServices::SetupDiEnumDeviceInterfaces(DevInfoHandle set,
                                                    const SpDevinfoData* device,
                                                    const Guid& interfaceClass,
                                                    std::uint32_t index,
                                                    SpDeviceInterfaceData* iface) {
  SP_DEVINFO_DATA nativeDevice{};
  if (device) nativeDevice = std::bit_cast<SP_DEVINFO_DATA>(*device);
  auto cls = std::bit_cast<GUID>(interfaceClass);
  auto native = std::bit_cast<SP_DEVICE_INTERFACE_DATA>(*iface);
  const BOOL ok = ::SetupDiEnumDeviceInterfaces(Set(set), device ? &nativeDevice : nullptr, &cls,
                                                index, &native);
  *iface = std::bit_cast<SpDeviceInterfaceData>(native);
  return ok != FALSE;
}

bool Win32CoreServices::SetupDiGetDeviceInterfaceDetailW(DevInfoHandle set,
                                                         const SpDeviceInterfaceData& iface,
                                                         void* detail, std::uint32_t detailSize,
                                                         std::uint32_t* requiredSize,
                                                         SpDevinfoData* device) {
  auto nativeIface = std::bit_cast<SP_DEVICE_INTERFACE_DATA>(iface);
  SP_DEVINFO_DATA nativeDevice{};
  if (device) nativeDevice = std::bit_cast<SP_DEVINFO_DATA>(*device);
  DWORD required = 0;
  const BOOL ok = ::SetupDiGetDeviceInterfaceDetailW(
      Set(set), &nativeIface, static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(detail), detailSize,
      requiredSize ? &required : nullptr, device ? &nativeDevice : nullptr);
  const DWORD error = ::GetLastError();
  if (requiredSize) *requiredSize = required;
  if (device) *device = std::bit_cast<SpDevinfoData>(nativeDevice);
  ::SetLastError(error);
  return ok != FALSE;
}

ConfigRet Win32CoreServices::CM_Get_Parent(DevInst* parent, DevInst node, std::uint32_t flags) {
  DEVINST native = 0;
  const CONFIGRET answer = ::CM_Get_Parent(parent ? &native : nullptr, node, flags);
  if (parent && answer == CR_SUCCESS) *parent = native;
  return answer;
}

ConfigRet Win32CoreServices::CM_Get_DevNode_Status(std::uint32_t* status,
                                                   std::uint32_t* problem, DevInst node,
                                                   std::uint32_t flags) {
  ULONG s = 0, p = 0;
  const CONFIGRET answer =
      ::CM_Get_DevNode_Status(status ? &s : nullptr, problem ? &p : nullptr, node, flags);
  if (answer == CR_SUCCESS) {
    if (status) *status = s;
    if (problem) *problem = p;
  }
  return answer;
}

ConfigRet Win32CoreServices::CM_Get_DevNode_Registry_PropertyW(DevInst node,
                                                               std::uint32_t property,
                                                               std::uint32_t* regType,
                                                               void* buffer,
                                                               std::uint32_t* length,
                                                               std::uint32_t flags) {
  ULONG type = 0, size = length ? *length : 0;
  const CONFIGRET answer = ::CM_Get_DevNode_Registry_PropertyW(
      node, property, regType ? &type : nullptr, buffer, length ? &size : nullptr, flags);
  if (regType) *regType = type;
  if (length) *length = size;
  return answer;
}

ConfigRet Win32CoreServices::CM_Get_Device_IDW(DevInst node, char16_t* buffer,
                                               std::uint32_t length, std::uint32_t flags) {
  return ::CM_Get_Device_IDW(node, Wide(buffer), length, flags);
}

ConfigRet Win32CoreServices::CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer,
                                                    std::uint32_t length, std::uint32_t flags) {
  return ::CM_Get_Device_ID_ListW(Wide(filter), Wide(buffer), length, flags);
}

ConfigRet Win32CoreServices::CM_Request_Device_EjectW(DevInst node, std::uint32_t* vetoType,
                                                      char16_t* vetoName,
                                                      std::uint32_t vetoNameLength,
                                                      std::uint32_t flags) {
  PNP_VETO_TYPE type{};
  const CONFIGRET answer = ::CM_Request_Device_EjectW(node, vetoType ? &type : nullptr,
                                                      Wide(vetoName), vetoNameLength, flags);
  if (vetoType) *vetoType = static_cast<std::uint32_t>(type);
  return answer;
}

std::uint32_t Win32CoreServices::QueryDosDeviceW(const char16_t* deviceName, char16_t* targets,
                                                 std::uint32_t capacity) {
  return ::QueryDosDeviceW(Wide(deviceName), Wide(targets), capacity);
}

WindowHandle Win32CoreServices::GetDesktopWindow() {
  return reinterpret_cast<WindowHandle>(::GetDesktopWindow());
}

char16_t* Win32CoreServices::StrCpyNW(char16_t* target, const char16_t* source, int capacity) {
  return reinterpret_cast<char16_t*>(::StrCpyNW(Wide(target), Wide(source), capacity));
}

std::uint32_t Win32CoreServices::GetDriveTypeW(const char16_t* rootPath) {
  return ::GetDriveTypeW(Wide(rootPath));
}

Handle Win32CoreServices::CreateFileW(const char16_t* name, std::uint32_t access,
                                      std::uint32_t share, std::uint32_t creation,
                                      std::uint32_t flags) {
  return reinterpret_cast<Handle>(
      ::CreateFileW(Wide(name), access, share, nullptr, creation, flags, nullptr));
}

bool Win32CoreServices::DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                                        std::uint32_t inSize, void* out, std::uint32_t outSize,
                                        std::uint32_t* returned) {
  DWORD count = 0;
  const BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(device), code,
                                    const_cast<void*>(in), inSize, out, outSize, &count, nullptr);
  if (returned) *returned = count;
  return ok != FALSE;
}

}  // namespace ejectra::platform::win32
