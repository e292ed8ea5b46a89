// From a drive number to the device node behind the drive, two ways:
// through the device object the drive's DOS name points at, and through the
// drive's record among the mounted devices in the registry. Every operation
// answers true or false only and leaves its outputs untouched on false.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/device_node.h"
#include "platform/core_services.h"
#include "shared/drive.h"

namespace ejectra::core {

bool ResolveByDeviceObject(const platform::CoreServices& os, Drive drive, DeviceNode& device);
bool ResolveByMountRecord(const platform::CoreServices& os, Drive drive, DeviceNode& device);

// The first target of the drive's DOS name.
bool QueryDosTarget(const platform::CoreServices& os, Drive drive, std::u16string& target);
// The instance ID of the first present volume whose physical device object
// is `target` and whose ID can be read.
bool FindVolumeId(const platform::CoreServices& os, std::u16string_view target,
                  std::u16string& volumeId);
// The first present disk whose removal relations, or else bus relations,
// name `volumeId` first. Pauses 10 ms before examining each disk.
bool FindDiskOfVolume(const platform::CoreServices& os, std::u16string_view volumeId,
                      DeviceNode& disk);
// The first ID of the device's relations of kind `filter`.
bool GetFirstRelatedId(const platform::CoreServices& os, std::u16string_view deviceId,
                       std::uint32_t filter, std::u16string& relatedId);
// The drive's mount record, "\??\..." turned into the "\\?\..." form of a
// device interface path.
bool ReadMountLink(const platform::CoreServices& os, Drive drive, std::u16string& link);

inline constexpr std::uint32_t kDosTargetCapacity = 1024;
inline constexpr std::uint32_t kIdListCapacity = 1024;
inline constexpr std::uint32_t kDiskPauseMilliseconds = 10;
// Mount records are a few hundred bytes; larger data are not a mount record.
inline constexpr std::uint32_t kMaxMountRecordBytes = 64 * 1024;
inline constexpr char16_t kMountedDevicesKey[] = u"SYSTEM\\MountedDevices";

}  // namespace ejectra::core
