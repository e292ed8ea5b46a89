// Portable mirrors of the few Windows types and constants the suite's logic
// passes across the platform seam. Names follow their Windows counterparts in
// k-prefixed form so that they never collide with the Windows headers' macros;
// the win32 layer checks each value against the real header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ejectra::platform {

using DevInst = std::uint32_t;    // DEVINST; 0 = no device
using ConfigRet = std::uint32_t;  // CONFIGRET
using ErrorCode = std::uint32_t;  // a Win32 error code (GetLastError, LSTATUS)

struct Guid {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
  friend bool operator==(const Guid&, const Guid&) = default;
};

// Opaque handles: the win32 layer casts them to HDEVINFO, HWND and HKEY.
using DevInfoHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;
using RegKey = std::uintptr_t;

inline constexpr DevInfoHandle kInvalidHandleValue = ~DevInfoHandle{0};
// The predefined keys are (HKEY)(ULONG_PTR)(LONG)0x8000000n: sign-extended.
inline constexpr RegKey kHkeyClassesRoot =
    static_cast<RegKey>(static_cast<std::intptr_t>(std::int32_t{-0x7FFFFFFF - 1}));
inline constexpr RegKey kHkeyCurrentUser =
    static_cast<RegKey>(static_cast<std::intptr_t>(std::int32_t{-0x7FFFFFFF}));
inline constexpr RegKey kHkeyLocalMachine =
    static_cast<RegKey>(static_cast<std::intptr_t>(std::int32_t{-0x7FFFFFFE}));

// SP_DEVINFO_DATA and SP_DEVICE_INTERFACE_DATA, field for field.
struct SpDevinfoData {
  std::uint32_t cbSize;
  Guid ClassGuid;
  std::uint32_t DevInst;  // a DevInst
  std::uintptr_t Reserved;
};
struct SpDeviceInterfaceData {
  std::uint32_t cbSize;
  Guid InterfaceClassGuid;
  std::uint32_t Flags;
  std::uintptr_t Reserved;
};
// SP_DEVICE_INTERFACE_DETAIL_DATA_W is { DWORD cbSize; WCHAR DevicePath[1]; },
// packed to 6 bytes on 32-bit Windows and padded to 8 on 64-bit Windows.
inline constexpr std::uint32_t kInterfaceDetailHeaderSize = sizeof(void*) == 4 ? 6 : 8;
inline constexpr std::size_t kInterfaceDetailPathOffset = 4;

// Configuration manager answers.
inline constexpr ConfigRet kCrSuccess = 0x00;
inline constexpr ConfigRet kCrInvalidPointer = 0x03;
inline constexpr ConfigRet kCrInvalidDevNode = 0x05;
inline constexpr ConfigRet kCrNoSuchDevNode = 0x0D;
inline constexpr ConfigRet kCrFailure = 0x13;
inline constexpr ConfigRet kCrRemoveVetoed = 0x17;
inline constexpr ConfigRet kCrBufferSmall = 0x1A;
inline constexpr ConfigRet kCrInvalidDeviceId = 0x1E;
inline constexpr ConfigRet kCrNoSuchValue = 0x25;

// Device node status bits.
inline constexpr std::uint32_t kDnHasProblem = 0x00000400;
inline constexpr std::uint32_t kDnDisableable = 0x00002000;
inline constexpr std::uint32_t kDnRemovable = 0x00004000;

// Device registry properties.
inline constexpr std::uint32_t kCmDrpDeviceDesc = 1;
inline constexpr std::uint32_t kCmDrpFriendlyName = 13;
inline constexpr std::uint32_t kCmDrpPhysicalDeviceObjectName = 15;

// Device ID list filters.
inline constexpr std::uint32_t kCmGetIdListFilterRemovalRelations = 0x08;
inline constexpr std::uint32_t kCmGetIdListFilterBusRelations = 0x20;

// Device information set flags.
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfAllClasses = 0x04;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// Win32 error codes.
inline constexpr ErrorCode kErrorSuccess = 0;
inline constexpr ErrorCode kErrorFileNotFound = 2;
inline constexpr ErrorCode kErrorInvalidHandle = 6;
inline constexpr ErrorCode kErrorNotEnoughMemory = 8;
inline constexpr ErrorCode kErrorGenFailure = 31;
inline constexpr ErrorCode kErrorInvalidParameter = 87;
inline constexpr ErrorCode kErrorInsufficientBuffer = 122;
inline constexpr ErrorCode kErrorModNotFound = 126;
inline constexpr ErrorCode kErrorMoreData = 234;
inline constexpr ErrorCode kErrorNoMoreItems = 259;
inline constexpr ErrorCode kErrorInvalidUserBuffer = 1784;
inline constexpr ErrorCode kErrorAccessDenied = 5;
inline constexpr ErrorCode kErrorAlreadyExists = 183;
inline constexpr ErrorCode kErrorNotOwner = 288;
inline constexpr ErrorCode kErrorKeyDeleted = 1018;
inline constexpr ErrorCode kErrorResourceTypeNotFound = 1813;
inline constexpr ErrorCode kErrorInvalidFunction = 1;
inline constexpr ErrorCode kErrorNotReady = 21;
inline constexpr ErrorCode kErrorSharingViolation = 32;

// Drive types (GetDriveTypeW).
inline constexpr std::uint32_t kDriveUnknown = 0;
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveRemovable = 2;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdrom = 5;
inline constexpr std::uint32_t kDriveRamdisk = 6;

// Opening a volume (CreateFileW).
inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kFileShareRead = 0x00000001;
inline constexpr std::uint32_t kFileShareWrite = 0x00000002;
inline constexpr std::uint32_t kOpenExisting = 3;

// Volume and storage control codes (DeviceIoControl). IOCTL_STORAGE_MEDIA_REMOVAL
// takes a PREVENT_MEDIA_REMOVAL: one BOOLEAN byte.
inline constexpr std::uint32_t kFsctlLockVolume = 0x00090018;
inline constexpr std::uint32_t kFsctlDismountVolume = 0x00090020;
inline constexpr std::uint32_t kIoctlStorageMediaRemoval = 0x002D4804;
inline constexpr std::uint32_t kIoctlStorageEjectMedia = 0x002D4808;

// Registry.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;  // the 64-bit registry view
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;  // the 32-bit registry view

// COM results.
using Hresult = std::int32_t;  // HRESULT
inline constexpr Hresult kSOk = 0;
inline constexpr Hresult kSFalse = 1;
inline constexpr Hresult kENotImpl = static_cast<Hresult>(0x80004001);
inline constexpr Hresult kENoInterface = static_cast<Hresult>(0x80004002);
inline constexpr Hresult kEPointer = static_cast<Hresult>(0x80004003);
inline constexpr Hresult kEFail = static_cast<Hresult>(0x80004005);
inline constexpr Hresult kEOutOfMemory = static_cast<Hresult>(0x8007000E);
inline constexpr Hresult kEInvalidArg = static_cast<Hresult>(0x80070057);
inline constexpr Hresult kRegdbEClassNotReg = static_cast<Hresult>(0x80040154);
inline constexpr Hresult kCoEServerExecFailure = static_cast<Hresult>(0x80080005);

// Device interface classes.
inline constexpr Guid kGuidDevInterfaceVolume = {
    0x53F5630D, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
inline constexpr Guid kGuidDevInterfaceDisk = {
    0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

}  // namespace ejectra::platform
