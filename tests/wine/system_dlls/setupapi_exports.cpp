// The simulated setupapi.dll: the device information set and configuration
// manager calls that Pullcore.dll imports, answering from the machine file
// through SimCoreServices. Each export takes the Windows types, hands the seam's
// portable ones to the machine and reports as setupapi does: a Win32 call's
// failure in the thread's last error, a configuration manager call's in its
// CONFIGRET. The exports are named Sim* here; setupapi.def gives them their
// real names.
#include <windows.h>
// windows.h first
#include <cfgmgr32.h>
#include <setupapi.h>

#include <bit>

#include "tests/wine/system_dlls/device_world.h"

using ejectra::platform::DevInfoHandle;
using ejectra::platform::Guid;
using ejectra::platform::SpDeviceInterfaceData;
using ejectra::platform::SpDevinfoData;
using ejectra::tests::system_dlls::Devices;

static_assert(sizeof(SpDevinfoData) == sizeof(SP_DEVINFO_DATA) &&
              sizeof(SpDeviceInterfaceData) == sizeof(SP_DEVICE_INTERFACE_DATA) &&
              sizeof(Guid) == sizeof(GUID) && sizeof(PNP_VETO_TYPE) == sizeof(std::uint32_t));

namespace {

DevInfoHandle Set(HDEVINFO set) { return reinterpret_cast<DevInfoHandle>(set); }

// A Win32 call's answer: its failure's reason moved to the thread's last error.
BOOL Answer(bool ok) {
  if (!ok) SetLastError(Devices().world.lastError);
  return ok ? TRUE : FALSE;
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" {

HDEVINFO WINAPI SimSetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND owner,
                                        DWORD flags) {
  if (enumerator) {  // no enumerator filter is modelled
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  Guid cls{};
  if (classGuid) cls = std::bit_cast<Guid>(*classGuid);
  const DevInfoHandle set = Devices().machine.SetupDiGetClassDevsW(
      classGuid ? &cls : nullptr, reinterpret_cast<std::uintptr_t>(owner), flags);
  if (set == ejectra::platform::kInvalidHandleValue) Answer(false);
  return reinterpret_cast<HDEVINFO>(set);
}

BOOL WINAPI SimSetupDiDestroyDeviceInfoList(HDEVINFO set) {
  return Answer(Devices().machine.SetupDiDestroyDeviceInfoList(Set(set)));
}

BOOL WINAPI SimSetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
  if (!device) return Refuse(ERROR_INVALID_USER_BUFFER);
  auto data = std::bit_cast<SpDevinfoData>(*device);
  const bool ok = Devices().machine.SetupDiEnumDeviceInfo(Set(set), index, &data);
  *device = std::bit_cast<SP_DEVINFO_DATA>(data);
  return Answer(ok);
}

BOOL WINAPI SimSetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device,
                                           const GUID* interfaceClass, DWORD index,
                                           PSP_DEVICE_INTERFACE_DATA iface) {
  if (!interfaceClass) return Refuse(ERROR_INVALID_PARAMETER);
  if (!iface) return Refuse(ERROR_INVALID_USER_BUFFER);
  SpDevinfoData member{};
  if (device) member = std::bit_cast<SpDevinfoData>(*device);
  auto data = std::bit_cast<SpDeviceInterfaceData>(*iface);
  const bool ok = Devices().machine.SetupDiEnumDeviceInterfaces(
      Set(set), device ? &member : nullptr, std::bit_cast<Guid>(*interfaceClass), index, &data);
  *iface = std::bit_cast<SP_DEVICE_INTERFACE_DATA>(data);
  return Answer(ok);
}

BOOL WINAPI SimSetupDiGetDeviceInterfaceDetailW(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA iface,
                                                PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                                                DWORD detailSize, PDWORD requiredSize,
                                                PSP_DEVINFO_DATA device) {
  if (!iface) return Refuse(ERROR_INVALID_PARAMETER);
  SpDevinfoData owner{};
  if (device) owner = std::bit_cast<SpDevinfoData>(*device);
  std::uint32_t required = requiredSize ? *requiredSize : 0;
  const bool ok = Devices().machine.SetupDiGetDeviceInterfaceDetailW(
      Set(set), std::bit_cast<SpDeviceInterfaceData>(*iface), detail, detailSize,
      requiredSize ? &required : nullptr, device ? &owner : nullptr);
  if (requiredSize) *requiredSize = required;
  if (device) *device = std::bit_cast<SP_DEVINFO_DATA>(owner);
  return Answer(ok);
}

CONFIGRET WINAPI SimCM_Get_Parent(PDEVINST parent, DEVINST node, ULONG flags) {
  ejectra::platform::DevInst found = 0;
  const CONFIGRET answer = Devices().machine.CM_Get_Parent(parent ? &found : nullptr, node, flags);
  if (parent && answer == CR_SUCCESS) *parent = found;
  return answer;
}

CONFIGRET WINAPI SimCM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST node,
                                          ULONG flags) {
  std::uint32_t s = 0, p = 0;
  const CONFIGRET answer = Devices().machine.CM_Get_DevNode_Status(
      status ? &s : nullptr, problem ? &p : nullptr, node, flags);
  if (answer == CR_SUCCESS) {
    *status = s;
    *problem = p;
  }
  return answer;
}

CONFIGRET WINAPI SimCM_Get_DevNode_Registry_PropertyW(DEVINST node, ULONG property,
                                                      PULONG regType, PVOID buffer,
                                                      PULONG length, ULONG flags) {
  std::uint32_t type = 0, size = length ? *length : 0;
  const CONFIGRET answer = Devices().machine.CM_Get_DevNode_Registry_PropertyW(
      node, property, regType ? &type : nullptr, buffer, length ? &size : nullptr, flags);
  if (regType) *regType = type;
  if (length) *length = size;
  return answer;
}

CONFIGRET WINAPI SimCM_Get_Device_IDW(DEVINST node, PWSTR buffer, ULONG length, ULONG flags) {
  return Devices().machine.CM_Get_Device_IDW(node, reinterpret_cast<char16_t*>(buffer), length,
                                             flags);
}

CONFIGRET WINAPI SimCM_Get_Device_ID_ListW(PCWSTR filter, PZZWSTR buffer, ULONG length,
                                           ULONG flags) {
  return Devices().machine.CM_Get_Device_ID_ListW(reinterpret_cast<const char16_t*>(filter),
                                                  reinterpret_cast<char16_t*>(buffer), length,
                                                  flags);
}

CONFIGRET WINAPI SimCM_Request_Device_EjectW(DEVINST node, PPNP_VETO_TYPE vetoType,
                                             LPWSTR vetoName, ULONG vetoNameLength, ULONG flags) {
  std::uint32_t type = vetoType ? static_cast<std::uint32_t>(*vetoType) : 0;
  const CONFIGRET answer = ejectra::tests::system_dlls::EjectOnRealTime(
      node, vetoType ? &type : nullptr, reinterpret_cast<char16_t*>(vetoName), vetoNameLength,
      flags);
  if (vetoType) *vetoType = static_cast<PNP_VETO_TYPE>(type);
  return answer;
}

}  // extern "C"
