#include "platform/sim/sim_volumes.h"

#include <cstdio>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

std::optional<std::u16string> Drive(char16_t letter) {
  const char16_t folded = FoldAsciiCase(letter);
  if (folded < u'a' || folded > u'z') return std::nullopt;
  return std::u16string{static_cast<char16_t>(folded - u'a' + u'A'), u':'};
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", unsigned{value});
  return text;
}

// The request as logged: its code's name, and for a removal's prevention
// the BOOLEAN asked.
std::string RequestText(std::uint32_t code, const void* in, std::uint32_t inSize) {
  switch (code) {
    case kFsctlLockVolume: return "FSCTL_LOCK_VOLUME";
    case kFsctlDismountVolume: return "FSCTL_DISMOUNT_VOLUME";
    case kIoctlStorageMediaRemoval:
      return "IOCTL_STORAGE_MEDIA_REMOVAL" +
             (in && inSize >= 1 ? " " + std::to_string(*static_cast<const std::uint8_t*>(in))
                                : std::string());
    case kIoctlStorageEjectMedia: return "IOCTL_STORAGE_EJECT_MEDIA";
    default: return Hex(code);
  }
}

}  // namespace

std::optional<std::u16string> DriveOfRoot(std::u16string_view rootPath) {
  if (rootPath.size() != 3 || rootPath[1] != u':' || rootPath[2] != u'\\') return std::nullopt;
  return Drive(rootPath[0]);
}

std::optional<std::u16string> DriveOfDevicePath(std::u16string_view name) {
  if (name.size() != 6 || name.substr(0, 4) != u"\\\\.\\" || name[5] != u':') return std::nullopt;
  return Drive(name[4]);
}

bool SimVolumes::Fail(ErrorCode error) {
  world_.lastError = error;
  return false;
}

std::uint32_t SimVolumes::GetDriveTypeW(const char16_t* rootPath) {
  if (const auto fault = world_.calls.Enter("GetDriveTypeW", Utf16ToUtf8(View(rootPath)))) {
    Fail(*fault);
    return kDriveUnknown;
  }
  // No path: the root of the current folder, which is on C:.
  const auto drive = rootPath ? DriveOfRoot(rootPath) : std::optional<std::u16string>(u"C:");
  if (!drive) return kDriveNoRootDir;
  const auto it = world_.machine.volumes.find(*drive);
  return it == world_.machine.volumes.end() ? kDriveNoRootDir : it->second.type;
}

Handle SimVolumes::CreateFileW(const char16_t* name, std::uint32_t access, std::uint32_t share,
                               std::uint32_t creation, std::uint32_t flags) {
  const std::string detail = Utf16ToUtf8(View(name)) + " " + Hex(access) + " share " +
                             std::to_string(share) + " creation " + std::to_string(creation) +
                             " flags " + Hex(flags);
  if (const auto fault = world_.calls.Enter("CreateFileW", detail)) {
    Fail(*fault);
    return kInvalidHandleValue;
  }
  const auto drive = DriveOfDevicePath(View(name));
  if (!drive || !world_.machine.dosDevices.contains(*drive)) {
    Fail(kErrorFileNotFound);
    return kInvalidHandleValue;
  }
  const auto record = world_.machine.volumes.find(*drive);
  if (record != world_.machine.volumes.end()) {
    const SimVolume& volume = record->second;
    // A disc drive refuses an open for writing; a volume kept to
    // administrators refuses others.
    if ((volume.type == kDriveCdrom && (access & kGenericWrite)) ||
        (volume.adminOnly && !world_.machine.elevated)) {
      Fail(kErrorAccessDenied);
      return kInvalidHandleValue;
    }
  }
  SimKernelObject open;
  open.volume = *drive;
  open.access = access;
  // Volume-management access comes with any data access the open was
  // granted, or with an administrator's privilege.
  open.volumeAccess = world_.machine.elevated || (access & (kGenericRead | kGenericWrite)) != 0;
  return world_.kernelObjects.Open(world_.kernelObjects.Create(open, nullptr));
}

bool SimVolumes::DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                                 std::uint32_t inSize, void*, std::uint32_t,
                                 std::uint32_t* returned) {
  if (const auto fault = world_.calls.Enter("DeviceIoControl", RequestText(code, in, inSize))) {
    return Fail(*fault);
  }
  SimKernelObject* open = world_.kernelObjects.Lookup(device);
  if (!open || open->volume.empty()) return Fail(kErrorInvalidHandle);
  const auto record = world_.machine.volumes.find(open->volume);
  if (record == world_.machine.volumes.end()) return Fail(kErrorInvalidFunction);
  SimVolume& volume = record->second;
  switch (code) {
    case kFsctlLockVolume:
      if (!Lock(*open, volume)) return false;
      break;
    case kFsctlDismountVolume:
      if (volume.checksVolumeAccess && !open->volumeAccess) return Fail(kErrorInvalidParameter);
      if (!volume.medium) return Fail(kErrorNotReady);
      break;
    case kIoctlStorageMediaRemoval:  // PREVENT_MEDIA_REMOVAL: one BOOLEAN
      if (!(open->access & kGenericRead)) return Fail(kErrorAccessDenied);
      if (!in || inSize < 1) return Fail(kErrorInvalidParameter);
      break;
    case kIoctlStorageEjectMedia:
      if (!(open->access & kGenericRead)) return Fail(kErrorAccessDenied);
      if (!volume.medium) return Fail(kErrorNotReady);
      if (volume.ejectError) return Fail(volume.ejectError);
      volume.medium = false;
      break;
    default:
      return Fail(kErrorInvalidFunction);
  }
  if (returned) *returned = 0;
  return true;
}

bool SimVolumes::Lock(SimKernelObject& open, SimVolume& volume) {
  if (volume.checksVolumeAccess && !open.volumeAccess) return Fail(kErrorInvalidParameter);
  if (!volume.medium) return Fail(kErrorNotReady);
  if (world_.kernelObjects.LocksVolume(open.volume) || Held(open.volume)) {
    return Fail(kErrorAccessDenied);
  }
  open.locksVolume = true;
  return true;
}

bool SimVolumes::Held(std::u16string_view drive) const {
  const MachineState& machine = world_.machine;
  const auto targets = machine.dosDevices.find(drive);
  if (targets == machine.dosDevices.end() || targets->second.empty()) return false;
  const SimProperty objectName = TextProperty(targets->second.front());
  for (const SimDevice& device : machine.devices) {
    const auto it = device.properties.find(kCmDrpPhysicalDeviceObjectName);
    if (device.present && it != device.properties.end() && it->second.data == objectName.data) {
      return !device.holders.empty();
    }
  }
  return false;
}

}  // namespace ejectra::platform::sim
