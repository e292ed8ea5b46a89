// Builds a simulated machine in a few readable lines:
//
//   MachineBuilder b;
//   const UsbStorage stick = b.AddUsbStick(u'E', u"SanDisk Cruzer Blade USB Device");
//   SimCoreServices machine(b.Build());
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine_state.h"

namespace ejectra::platform::sim {

class MachineBuilder;

// A device being built; every setter returns the same reference.
class DeviceRef {
 public:
  DeviceRef(MachineBuilder& builder, DevInst handle) : builder_(&builder), handle_(handle) {}
  DevInst Handle() const { return handle_; }
  operator DevInst() const { return handle_; }

  DeviceRef& Status(std::uint32_t status);
  DeviceRef& FriendlyName(std::u16string_view text);
  DeviceRef& Description(std::u16string_view text);
  DeviceRef& PhysicalObjectName(std::u16string_view text);
  DeviceRef& Property(std::uint32_t code, std::uint32_t type, std::vector<std::uint8_t> data);
  DeviceRef& RemovalRelations(std::vector<std::u16string> ids);
  DeviceRef& BusRelations(std::vector<std::u16string> ids);
  DeviceRef& Interface(const Guid& interfaceClass, std::u16string path);
  DeviceRef& EjectAnswer(ConfigRet answer);
  DeviceRef& NotPresent();
  DeviceRef& UnreadableId();
  DeviceRef& UnreadableStatus();

 private:
  SimDevice& Get();
  MachineBuilder* builder_;
  DevInst handle_;
};

// The nodes that stand behind one drive of USB storage.
struct UsbStorage {
  DevInst usbDevice = 0;  // the removable parent, the node that is ejected
  DevInst disk = 0;       // the node found for the drive
  DevInst volume = 0;
  std::u16string volumeId;
  std::u16string objectName;     // the volume's physical device object
  std::u16string interfacePath;  // the volume's interface path
};

inline constexpr std::uint32_t kRemovableParentStatus = 0x0180600A;  // started, removable, disableable
inline constexpr std::uint32_t kFixedStatus = 0x0180200A;            // started, disableable

class MachineBuilder {
 public:
  MachineBuilder();

  DeviceRef Device(std::u16string instanceId, DevInst parent);
  DeviceRef Get(DevInst handle) { return DeviceRef(*this, handle); }
  MachineBuilder& DosDevice(std::u16string name, std::vector<std::u16string> targets);
  // A mount record as Windows writes it: the text's UTF-16LE bytes, no NUL.
  MachineBuilder& MountRecord(char16_t letter, std::u16string_view text);
  MachineBuilder& MountRecordData(char16_t letter, std::uint32_t type,
                                  std::vector<std::uint8_t> data);
  MachineBuilder& RegistryKey(std::u16string path);
  // The drive's volume record: its drive type, and whether a medium is in.
  MachineBuilder& Volume(char16_t letter, std::uint32_t type, bool medium = true);

  DevInst Root() const { return root_; }
  DevInst UsbController() const { return usbController_; }
  DevInst VolumeManager() const { return volumeManager_; }

  // A USB device holding one disk with one volume, reached through both the
  // drive's DOS name and its mount record; a removable drive with a medium.
  UsbStorage AddUsbStick(char16_t letter, std::u16string_view friendlyName);
  // A fixed disk on the storage controller, with one volume of a fixed drive.
  UsbStorage AddFixedDisk(char16_t letter, std::u16string_view friendlyName);

  MachineState& State() { return state_; }
  MachineState Build() const { return state_; }

 private:
  friend class DeviceRef;
  UsbStorage AddStorage(char16_t letter, DevInst bus, std::u16string_view friendlyName,
                        bool usb);

  MachineState state_;
  DevInst root_ = 0, usbController_ = 0, storageController_ = 0, volumeManager_ = 0;
  int serial_ = 0;
};

}  // namespace ejectra::platform::sim
