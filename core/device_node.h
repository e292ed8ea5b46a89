// The three small types through which the core uses the device services:
// a device node (a handle, not a resource), a list of them, and the owner of
// one device information set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core_services.h"
#include "platform/owners.h"

namespace ejectra::core {

// A device instance handle. Copying copies the handle; nothing is released.
// Every operation answers true on CR_SUCCESS and leaves its outputs untouched
// otherwise.
class DeviceNode {
 public:
  DeviceNode() = default;
  explicit DeviceNode(platform::DevInst handle) : handle_(handle) {}

  platform::DevInst Handle() const { return handle_; }
  bool IsEmpty() const { return handle_ == 0; }

  bool GetParent(platform::DeviceConfig& devices, DeviceNode& parent) const;
  bool GetStatus(platform::DeviceConfig& devices, std::uint32_t& status,
                 std::uint32_t& problem) const;
  bool RequestEject(platform::DeviceConfig& devices) const;
  // The request with the veto outputs, which also keeps the platform's own
  // notice away: its answer, the veto type and the veto name (cut to fit
  // kVetoNameChars with its terminator).
  platform::ConfigRet RequestEjectWithVeto(platform::DeviceConfig& devices,
                                           std::uint32_t& vetoType,
                                           std::u16string& vetoName) const;
  // Any property is taken as text, whatever its registry type; one of more
  // than kPropertyBytes bytes does not fit and counts as unreadable.
  bool GetProperty(platform::DeviceConfig& devices, std::uint32_t code,
                   std::u16string& text) const;
  bool GetDeviceId(platform::DeviceConfig& devices, std::u16string& id) const;

  static constexpr std::uint32_t kPropertyBytes = 4096;
  static constexpr std::uint32_t kMaxDeviceIdLength = 200;  // MAX_DEVICE_ID_LEN
  static constexpr std::uint32_t kVetoNameChars = 260;      // MAX_PATH

  friend bool operator==(const DeviceNode&, const DeviceNode&) = default;

 private:
  platform::DevInst handle_ = 0;
};

using DeviceNodeList = std::vector<DeviceNode>;

// Sole owner of one device information set; releases it when destroyed.
class DeviceInfoSet {
 public:
  explicit DeviceInfoSet(const platform::CoreServices& os) : os_(os), set_(os_) {}
  DeviceInfoSet(DeviceInfoSet&&) = delete;  // the owner closes through os_

  // Releases a set already held, then opens a new one. With
  // DIGCF_ALLCLASSES in `flags` no class is passed.
  bool Create(platform::WindowHandle owner, platform::Guid classGuid, std::uint32_t flags);
  void Destroy() noexcept { set_.reset(); }

  // Appends every device of the set; true when the enumeration ran to its
  // end. On false the list holds what was appended so far.
  bool EnumDevices(DeviceNodeList& list) const;
  // Appends the owner of every interface of `interfaceClass` whose path
  // equals `path` (letters A-Z folded), in enumeration order; true when the
  // scan ran to its end.
  bool FindInterfaceDevices(std::u16string_view path, platform::Guid interfaceClass,
                            DeviceNodeList& list) const;

  // Device paths longer than this are taken as an allocation that failed.
  static constexpr std::uint32_t kMaxInterfaceDetailBytes = 1u << 20;

 private:
  platform::CoreServices os_;
  platform::UniqueDevInfoSet set_;
};

}  // namespace ejectra::core
