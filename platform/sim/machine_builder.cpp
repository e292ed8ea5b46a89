#include "platform/sim/machine_builder.h"

#include <string>

namespace ejectra::platform::sim {

namespace {

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

SimDevice& DeviceRef::Get() { return *builder_->state_.Device(handle_); }

DeviceRef& DeviceRef::Status(std::uint32_t status) {
  Get().status = status;
  return *this;
}
DeviceRef& DeviceRef::FriendlyName(std::u16string_view text) {
  Get().properties[kCmDrpFriendlyName] = TextProperty(text);
  return *this;
}
DeviceRef& DeviceRef::Description(std::u16string_view text) {
  Get().properties[kCmDrpDeviceDesc] = TextProperty(text);
  return *this;
}
DeviceRef& DeviceRef::PhysicalObjectName(std::u16string_view text) {
  Get().properties[kCmDrpPhysicalDeviceObjectName] = TextProperty(text);
  return *this;
}
DeviceRef& DeviceRef::Property(std::uint32_t code, std::uint32_t type,
                               std::vector<std::uint8_t> data) {
  Get().properties[code] = SimProperty{type, std::move(data)};
  return *this;
}
DeviceRef& DeviceRef::RemovalRelations(std::vector<std::u16string> ids) {
  Get().removalRelations = std::move(ids);
  return *this;
}
DeviceRef& DeviceRef::BusRelations(std::vector<std::u16string> ids) {
  Get().busRelations = std::move(ids);
  return *this;
}
DeviceRef& DeviceRef::Interface(const Guid& interfaceClass, std::u16string path) {
  builder_->state_.interfaces.push_back(SimInterface{interfaceClass, std::move(path), handle_});
  return *this;
}
DeviceRef& DeviceRef::EjectAnswer(ConfigRet answer) {
  Get().ejectAnswer = answer;
  return *this;
}
DeviceRef& DeviceRef::NotPresent() {
  Get().present = false;
  return *this;
}
DeviceRef& DeviceRef::UnreadableId() {
  Get().deviceIdReadable = false;
  return *this;
}
DeviceRef& DeviceRef::UnreadableStatus() {
  Get().statusReadable = false;
  return *this;
}

MachineBuilder::MachineBuilder() {
  root_ = Device(u"HTREE\\ROOT\\0", 0).Status(0x0180000A);
  usbController_ = Device(u"PCI\\VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10\\3&11583659&0&A0",
                          root_)
                       .Status(kFixedStatus)
                       .Description(u"USB xHCI 準拠ホスト コントローラー");
  storageController_ = Device(u"PCI\\VEN_8086&DEV_A352&SUBSYS_00000000&REV_10\\3&11583659&0&B8",
                              root_)
                           .Status(kFixedStatus)
                           .Description(u"標準 SATA AHCI コントローラー");
  volumeManager_ = Device(u"ROOT\\VOLMGR\\0000", root_)
                       .Status(0x0180000A)
                       .Description(u"ボリューム マネージャー");
  RegistryKey(u"SYSTEM\\MountedDevices");
}

DeviceRef MachineBuilder::Device(std::u16string instanceId, DevInst parent) {
  SimDevice device;
  device.instanceId = std::move(instanceId);
  device.parent = parent;
  state_.devices.push_back(std::move(device));
  return DeviceRef(*this, static_cast<DevInst>(state_.devices.size()));
}

MachineBuilder& MachineBuilder::DosDevice(std::u16string name,
                                          std::vector<std::u16string> targets) {
  state_.dosDevices[std::move(name)] = std::move(targets);
  return *this;
}

MachineBuilder& MachineBuilder::MountRecord(char16_t letter, std::u16string_view text) {
  return MountRecordData(letter, kRegBinary, EncodeUtf16le(text, false));
}

MachineBuilder& MachineBuilder::MountRecordData(char16_t letter, std::uint32_t type,
                                                std::vector<std::uint8_t> data) {
  const std::u16string name = std::u16string(u"\\DosDevices\\") + letter + u':';
  state_.registry.Create(kHkeyLocalMachine, u"SYSTEM\\MountedDevices").values[name] =
      SimRegistryValue{type, std::move(data)};
  return *this;
}

MachineBuilder& MachineBuilder::RegistryKey(std::u16string path) {
  state_.registry.Create(kHkeyLocalMachine, path);
  return *this;
}

MachineBuilder& MachineBuilder::Volume(char16_t letter, std::uint32_t type, bool medium) {
  state_.volumes[std::u16string{letter, u':'}] = SimVolume{type, medium, false};
  return *this;
}

UsbStorage MachineBuilder::AddUsbStick(char16_t letter, std::u16string_view friendlyName) {
  const int n = ++serial_;
  const DevInst usb = Device(Ascii("USB\\VID_0781&PID_5567\\4C53000" + std::to_string(n)),
                             usbController_)
                          .Status(kRemovableParentStatus)
                          .Description(u"USB 大容量記憶装置");
  return AddStorage(letter, usb, friendlyName, true);
}

UsbStorage MachineBuilder::AddFixedDisk(char16_t letter, std::u16string_view friendlyName) {
  ++serial_;
  return AddStorage(letter, storageController_, friendlyName, false);
}

UsbStorage MachineBuilder::AddStorage(char16_t letter, DevInst bus,
                                      std::u16string_view friendlyName, bool usb) {
  const std::string n = std::to_string(serial_);
  UsbStorage s;
  s.usbDevice = usb ? bus : 0;
  s.volumeId = Ascii("STORAGE\\VOLUME\\{9A8E1B2C-0000-0000-0000-10000000000" + n + "}#" + n);
  s.objectName = Ascii("\\Device\\HarddiskVolume" + n);
  s.interfacePath = Ascii("\\\\?\\STORAGE#Volume#{9a8e1b2c-0000-0000-0000-10000000000" + n +
                          "}#" + n + "#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}");
  const std::string diskId = usb ? "USBSTOR\\DISK&VEN_SANDISK&PROD_CRUZER&REV_1.00\\4C53000" + n +
                                       "&0"
                                 : "SCSI\\DISK&VEN_&PROD_SSD\\4&2F6A&0&00000" + n;
  s.disk = Device(Ascii(diskId), bus)
               .Status(usb ? kRemovableParentStatus : kFixedStatus)
               .FriendlyName(friendlyName)
               .Description(u"ディスク ドライブ")
               .Interface(kGuidDevInterfaceDisk, Ascii("\\\\?\\" + diskId + "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}"))
               .RemovalRelations({s.volumeId});
  s.volume = Device(s.volumeId, volumeManager_)
                 .Status(kFixedStatus)
                 .Description(u"汎用ボリューム")
                 .PhysicalObjectName(s.objectName)
                 .Interface(kGuidDevInterfaceVolume, s.interfacePath);
  const std::u16string drive = std::u16string(1, letter) + u':';
  DosDevice(drive, {s.objectName});
  Volume(letter, usb ? kDriveRemovable : kDriveFixed);
  MountRecord(letter, u"\\??\\" + s.interfacePath.substr(4));
  return s;
}

}  // namespace ejectra::platform::sim
