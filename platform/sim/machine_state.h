// What a simulated machine holds: device nodes with their properties and
// relations, device interfaces, DOS device names and the registry. Device
// handles are positions in `devices` plus one, so enumeration order is the
// order of the vectors.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/registry_tree.h"
#include "platform/text.h"
#include "platform/types.h"

namespace ejectra::platform::sim {

struct SimProperty {
  std::uint32_t type = kRegSz;
  std::vector<std::uint8_t> data;  // as stored, a text with its NUL
};

// A process with a handle open on a device, as the System log names it.
struct SimHolder {
  std::uint32_t processId = 0;
  std::u16string imagePath;  // an NT path
  friend bool operator==(const SimHolder&, const SimHolder&) = default;
};

struct SimDevice {
  std::u16string instanceId;
  DevInst parent = 0;  // 0: the root of the tree
  std::uint32_t status = 0;
  bool present = true;
  std::map<std::uint32_t, SimProperty> properties;
  std::vector<std::u16string> removalRelations;
  std::vector<std::u16string> busRelations;
  ConfigRet ejectAnswer = kCrSuccess;
  // An eject of this node that is vetoed while the veto outputs are given
  // answers CR_SUCCESS all the same, with the veto filled in.
  bool vetoWithSuccess = false;
  // Held open: an eject of the device or a node above it is vetoed with
  // PNP_VetoOutstandingOpen and this node's ID, and each holder's event 225,
  // naming the node whose eject was asked, is logged `eventDelay` ms later.
  std::vector<SimHolder> holders;
  std::uint32_t eventDelay = 0;
  bool deviceIdReadable = true;
  bool statusReadable = true;
};

struct SimInterface {
  Guid interfaceClass{};
  std::u16string path;
  DevInst owner = 0;
};

// A drive's volume: its GetDriveTypeW answer and whether a medium is in its
// slot.
struct SimVolume {
  std::uint32_t type = kDriveNoRootDir;
  bool medium = true;
  // Opening it needs an administrator (direct access where policy keeps it
  // to them: NTFS on removable media by default).
  bool adminOnly = false;
  // Its file system refuses the lock and the dismount with
  // ERROR_INVALID_PARAMETER to a handle without volume-management access:
  // one opened for no data access by a program that is not elevated.
  bool checksVolumeAccess = false;
  // What IOCTL_STORAGE_EJECT_MEDIA fails with; 0: the drive ejects.
  ErrorCode ejectError = 0;
  friend bool operator==(const SimVolume&, const SimVolume&) = default;
};

struct MachineState {
  std::vector<SimDevice> devices;
  std::vector<SimInterface> interfaces;
  std::map<std::u16string, std::vector<std::u16string>, LessIgnoringAsciiCase> dosDevices;
  RegistryTree registry;
  // By drive ("E:"); a drive without one has no root directory.
  std::map<std::u16string, SimVolume, LessIgnoringAsciiCase> volumes;
  // Whether the programs on it run elevated, as an administrator.
  bool elevated = true;

  // The handle of the device with that instance ID (letters A-Z folded), or 0.
  DevInst Find(std::u16string_view instanceId) const;
  SimDevice* Device(DevInst handle);
  const SimDevice* Device(DevInst handle) const;
  // The drive letters that have a DOS name ("E:"), as a GetLogicalDrives mask.
  std::uint32_t DriveMask() const;
};

// A property value as the configuration manager stores a text: UTF-16LE with NUL.
SimProperty TextProperty(std::u16string_view text);

}  // namespace ejectra::platform::sim
