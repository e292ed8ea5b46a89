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
  std::uint32_t problem = 0;
  bool present = true;
  std::map<std::uint32_t, SimProperty> properties;
  std::vector<std::u16string> removalRelations;
  std::vector<std::u16string> busRelations;
  ConfigRet ejectAnswer = kCrSuccess;
  // Held open: an eject of the device or a node above it is vetoed with
  // PNP_VetoOutstandingOpen and this node's ID, and each holder's event 225
  // is logged `eventDelay` ms later.
  std::vector<SimHolder> holders;
  std::uint32_t eventDelay = 0;
  // Asked to eject with veto outputs, the device answers CR_SUCCESS while
  // filling them in as a held device would, and stays; asked without, it
  // answers as any other.
  bool vetoWithSuccess = false;
  bool deviceIdReadable = true;
  bool statusReadable = true;
};

struct SimInterface {
  Guid interfaceClass{};
  std::u16string path;
  DevInst owner = 0;
};

// A drive's volume: its GetDriveTypeW answer, whether a medium is in its
// slot, and whether it was dismounted since the medium came.
struct SimVolume {
  std::uint32_t type = kDriveNoRootDir;
  bool medium = true;
  bool dismounted = false;
  friend bool operator==(const SimVolume&, const SimVolume&) = default;
};

struct MachineState {
  std::vector<SimDevice> devices;
  std::vector<SimInterface> interfaces;
  std::map<std::u16string, std::vector<std::u16string>, LessIgnoringAsciiCase> dosDevices;
  RegistryTree registry;
  // By drive ("E:"); a drive without one has no root directory.
  std::map<std::u16string, SimVolume, LessIgnoringAsciiCase> volumes;

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
