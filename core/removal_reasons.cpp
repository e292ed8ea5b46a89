// RemoveHardwareDriveExW: the eject request that also says why it was refused.
#include <algorithm>
#include <string>
#include <vector>

#include "core/blockers.h"
#include "core/pullcore.h"
#include "core/removable_device.h"

namespace ejectra::core {

using namespace platform;

namespace {

// Copies `text` into a report's field, cut to leave room for the terminator.
void Put(char16_t (&field)[kRemovalTextChars], std::u16string_view text) {
  const std::size_t length = std::min(text.size(), kRemovalTextChars - 1);
  std::copy_n(text.begin(), length, field);
  field[length] = u'\0';
}

// The instances an event 225 may name for this refusal: Windows logs the
// node whose eject was asked for (the removable parent); the device found
// and the veto's own name are taken too, in case a refusal names them.
std::vector<std::u16string> Instances(const CoreServices& os, const std::u16string& vetoName,
                                      const DeviceNode& device, const DeviceNode& parent) {
  std::vector<std::u16string> ids;
  for (const DeviceNode& node : {parent, device}) {
    std::u16string id;
    if (node.GetDeviceId(os.devices, id)) ids.push_back(std::move(id));
  }
  if (!vetoName.empty()) ids.push_back(vetoName);
  return ids;
}

}  // namespace

bool RemoveHardwareDriveExW(const CoreServices& os, int drive, PullcoreRemoval* removal) noexcept try {
  if (!removal || removal->Size != sizeof(PullcoreRemoval)) {
    os.SetLastError(kErrorInvalidParameter);
    return false;
  }
  *removal = PullcoreRemoval{};
  removal->Size = sizeof(PullcoreRemoval);

  const auto found = Drive::FromNumber(drive);
  DeviceNode device, parent;
  if (!found || !FindRemovableDevice(os, *found, device, parent)) return false;

  const std::uint64_t asked = os.kernel.GetSystemTimeAsFileTime();
  std::uint32_t vetoType = 0;
  std::u16string vetoName;
  // Given the veto outputs, Windows may answer CR_SUCCESS to a request it
  // vetoed: only success without a veto type is a removal.
  const ConfigRet answer = parent.RequestEjectWithVeto(os.devices, vetoType, vetoName);
  if (answer == kCrSuccess && vetoType == kPnpVetoTypeUnknown) return true;
  removal->VetoType = vetoType;
  Put(removal->VetoName, vetoName);

  const std::uint64_t since = asked > kBlockerEventWindow ? asked - kBlockerEventWindow : 0;
  for (const Blocker& blocker : FindBlockers(os, since, Instances(os, vetoName, device, parent))) {
    if (removal->BlockerCount == kMaxBlockers) break;
    PullcoreBlocker& entry = removal->Blockers[removal->BlockerCount++];
    entry.ProcessId = blocker.processId;
    Put(entry.ImagePath, DrivePathOf(os.dosDevices, blocker.imagePath));
  }
  return false;
} catch (...) {
  return false;
}

}  // namespace ejectra::core
