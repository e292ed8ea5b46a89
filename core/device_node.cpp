#include "core/device_node.h"

#include <array>
#include <cstring>
#include <new>

#include "platform/text.h"

namespace ejectra::core {

using namespace platform;

bool DeviceNode::GetParent(DeviceConfig& devices, DeviceNode& parent) const {
  DevInst handle = 0;
  if (devices.CM_Get_Parent(&handle, handle_, 0) != kCrSuccess) return false;
  parent = DeviceNode(handle);
  return true;
}

bool DeviceNode::GetStatus(DeviceConfig& devices, std::uint32_t& status,
                           std::uint32_t& problem) const {
  std::uint32_t s = 0, p = 0;
  if (devices.CM_Get_DevNode_Status(&s, &p, handle_, 0) != kCrSuccess) return false;
  status = s;
  problem = p;
  return true;
}

bool DeviceNode::RequestEject(DeviceConfig& devices) const {
  return devices.CM_Request_Device_EjectW(handle_, nullptr, nullptr, 0, 0) == kCrSuccess;
}

ConfigRet DeviceNode::RequestEjectWithVeto(DeviceConfig& devices, std::uint32_t& vetoType,
                                           std::u16string& vetoName) const {
  std::vector<char16_t> name(kVetoNameChars + 1, u'\0');  // one more, zeroed: always terminated
  std::uint32_t type = 0;
  const ConfigRet answer = devices.CM_Request_Device_EjectW(handle_, &type, name.data(), kVetoNameChars, 0);
  vetoType = type;
  vetoName = TextUpToNul(name.data(), kVetoNameChars);
  return answer;
}

bool DeviceNode::GetProperty(DeviceConfig& devices, std::uint32_t code,
                             std::u16string& text) const {
  // One character more than the platform is told of, zeroed: always terminated.
  std::vector<char16_t> buffer(kPropertyBytes / sizeof(char16_t) + 1);
  std::uint32_t length = kPropertyBytes;
  if (devices.CM_Get_DevNode_Registry_PropertyW(handle_, code, nullptr, buffer.data(), &length,
                                                0) != kCrSuccess) {
    return false;
  }
  text = TextUpToNul(buffer.data(), buffer.size());
  return true;
}

bool DeviceNode::GetDeviceId(DeviceConfig& devices, std::u16string& id) const {
  std::array<char16_t, kMaxDeviceIdLength + 1> buffer{};
  if (devices.CM_Get_Device_IDW(handle_, buffer.data(), kMaxDeviceIdLength, 0) != kCrSuccess) {
    return false;
  }
  id = TextUpToNul(buffer.data(), buffer.size());
  return true;
}

bool DeviceInfoSet::Create(WindowHandle owner, Guid classGuid, std::uint32_t flags) {
  Destroy();
  const Guid* cls = (flags & kDigcfAllClasses) ? nullptr : &classGuid;
  *set_.put() = os_.devices.SetupDiGetClassDevsW(cls, owner, flags);
  return static_cast<bool>(set_);
}

bool DeviceInfoSet::EnumDevices(DeviceNodeList& list) const {
  SpDevinfoData device{};
  device.cbSize = sizeof device;
  for (std::uint32_t index = 0; os_.devices.SetupDiEnumDeviceInfo(set_.get(), index, &device);
       ++index) {
    list.emplace_back(device.DevInst);
  }
  return os_.kernel.GetLastError() == kErrorNoMoreItems;
}

bool DeviceInfoSet::FindInterfaceDevices(std::u16string_view path, Guid interfaceClass,
                                         DeviceNodeList& list) const {
  for (std::uint32_t index = 0;; ++index) {
    SpDeviceInterfaceData iface{};
    iface.cbSize = sizeof iface;
    if (!os_.devices.SetupDiEnumDeviceInterfaces(set_.get(), nullptr, interfaceClass, index,
                                                 &iface)) {
      break;
    }

    SpDevinfoData device{};
    device.cbSize = sizeof device;
    std::uint32_t required = 0;
    if (os_.devices.SetupDiGetDeviceInterfaceDetailW(set_.get(), iface, nullptr, 0, &required,
                                                     &device)) {
      return false;  // a size probe without a buffer cannot succeed honestly
    }

    // (required + 1) characters' worth of bytes: the path always ends in NUL.
    const std::uint64_t bytes64 = (std::uint64_t{required} + 1) * sizeof(char16_t);
    if (bytes64 > kMaxInterfaceDetailBytes) return false;
    const auto bytes = static_cast<std::size_t>(
        bytes64 < kInterfaceDetailHeaderSize ? kInterfaceDetailHeaderSize : bytes64);
    std::vector<unsigned char> detail(bytes);
    const std::uint32_t headerSize = kInterfaceDetailHeaderSize;
    std::memcpy(detail.data(), &headerSize, sizeof headerSize);
    if (!os_.devices.SetupDiGetDeviceInterfaceDetailW(set_.get(), iface, detail.data(), required,
                                                      nullptr, &device)) {
      return false;
    }

    const std::u16string devicePath = TextFromUtf16le(detail.data() + kInterfaceDetailPathOffset,
                                                    detail.size() - kInterfaceDetailPathOffset);
    if (EqualsIgnoringAsciiCase(devicePath, path)) list.emplace_back(device.DevInst);
  }
  return os_.kernel.GetLastError() == kErrorNoMoreItems;
}

}  // namespace ejectra::core
