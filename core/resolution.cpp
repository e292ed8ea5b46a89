#include "core/resolution.h"

#include <vector>

#include "platform/owners.h"
#include "platform/text.h"
#include "shared/drive.h"

namespace ejectra::core {

using namespace platform;

namespace {

constexpr std::uint32_t kClassInterfaceSetFlags = kDigcfPresent | kDigcfDeviceInterface;
constexpr std::uint32_t kAllInterfacesSetFlags =
    kDigcfPresent | kDigcfAllClasses | kDigcfDeviceInterface;

bool OpenAndList(const CoreServices& os, DeviceInfoSet& set, const Guid& cls,
                 DeviceNodeList& nodes) {
  return set.Create(os.desktop.GetDesktopWindow(), cls, kClassInterfaceSetFlags) && set.EnumDevices(nodes);
}

}  // namespace

bool QueryDosTarget(const CoreServices& os, Drive drive, std::u16string& target) {
  const std::u16string name = drive.Name();
  std::vector<char16_t> targets(kDosTargetCapacity);
  const std::uint32_t stored = os.dosDevices.QueryDosDeviceW(name.c_str(), targets.data(), kDosTargetCapacity);
  if (stored == 0) return false;
  target = TextUpToNul(targets.data(), stored < kDosTargetCapacity ? stored : kDosTargetCapacity);
  return true;
}

bool FindVolumeId(const CoreServices& os, std::u16string_view target, std::u16string& volumeId) {
  DeviceInfoSet volumes(os);
  DeviceNodeList nodes;
  if (!OpenAndList(os, volumes, kGuidDevInterfaceVolume, nodes)) return false;
  for (const DeviceNode& node : nodes) {
    std::u16string objectName, id;
    if (node.GetProperty(os.devices, kCmDrpPhysicalDeviceObjectName, objectName) &&
        EqualsIgnoringAsciiCase(objectName, target) && node.GetDeviceId(os.devices, id)) {
      volumeId = std::move(id);
      return true;
    }
  }
  return false;
}

bool GetFirstRelatedId(const CoreServices& os, std::u16string_view deviceId,
                       std::uint32_t filter, std::u16string& relatedId) {
  const std::u16string filterText(deviceId);
  std::vector<char16_t> ids(kIdListCapacity + 1);
  if (os.devices.CM_Get_Device_ID_ListW(filterText.c_str(), ids.data(), kIdListCapacity,
                                        filter) != kCrSuccess) {
    return false;
  }
  relatedId = TextUpToNul(ids.data(), ids.size());
  return true;
}

bool FindDiskOfVolume(const CoreServices& os, std::u16string_view volumeId, DeviceNode& disk) {
  DeviceInfoSet disks(os);
  DeviceNodeList nodes;
  if (!OpenAndList(os, disks, kGuidDevInterfaceDisk, nodes)) return false;
  for (const DeviceNode& node : nodes) {
    os.kernel.Sleep(kDiskPauseMilliseconds);
    std::u16string diskId;
    if (!node.GetDeviceId(os.devices, diskId)) continue;
    for (const std::uint32_t filter :
         {kCmGetIdListFilterRemovalRelations, kCmGetIdListFilterBusRelations}) {
      std::u16string first;
      if (GetFirstRelatedId(os, diskId, filter, first) &&
          EqualsIgnoringAsciiCase(first, volumeId)) {
        disk = node;
        return true;
      }
    }
  }
  return false;
}

bool ResolveByDeviceObject(const CoreServices& os, Drive drive, DeviceNode& device) {
  std::u16string target, volumeId;
  return QueryDosTarget(os, drive, target) && FindVolumeId(os, target, volumeId) &&
         FindDiskOfVolume(os, volumeId, device);
}

bool ReadMountLink(const CoreServices& os, Drive drive, std::u16string& link) {
  UniqueRegKey key(os.registry);
  if (os.registry.RegOpenKeyExW(kHkeyLocalMachine, kMountedDevicesKey, 0, kKeyRead, key.put()) !=
      kErrorSuccess) {
    return false;
  }

  const std::u16string valueName = u"\\DosDevices\\" + drive.Name();
  std::uint32_t type = 0, size = 0;
  if (os.registry.RegQueryValueExW(key.get(), valueName.c_str(), &type, nullptr, &size) !=
          kErrorSuccess ||
      type != kRegBinary || size > kMaxMountRecordBytes) {
    return false;
  }
  // Twice the bytes the data need, zeroed: the data are always followed by NUL.
  std::vector<unsigned char> data((std::size_t{size} + 1) * 2);
  std::uint32_t read = size;
  if (os.registry.RegQueryValueExW(key.get(), valueName.c_str(), &type, data.data(), &read) !=
          kErrorSuccess ||
      type != kRegBinary) {
    return false;
  }
  std::u16string text = TextFromUtf16le(data.data(), data.size());
  if (text.size() < 4 || std::u16string_view(text).substr(0, 4) != u"\\??\\") return false;
  text[1] = u'\\';
  link = std::move(text);
  return true;
}

bool ResolveByMountRecord(const CoreServices& os, Drive drive, DeviceNode& device) {
  DeviceInfoSet all(os);
  if (!all.Create(os.desktop.GetDesktopWindow(), Guid{}, kAllInterfacesSetFlags)) return false;
  std::u16string link;
  DeviceNodeList matches;
  if (!ReadMountLink(os, drive, link) ||
      !all.FindInterfaceDevices(link, kGuidDevInterfaceVolume, matches) || matches.empty()) {
    return false;
  }
  device = matches.front();
  return true;
}

}  // namespace ejectra::core
