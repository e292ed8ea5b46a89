#include "core/blockers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/owners.h"
#include "platform/text.h"

namespace ejectra::core {

using namespace platform;

namespace {

constexpr char16_t kSystemLog[] = u"System";
constexpr char16_t kRemovalStopped[] =
    u"*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=225)]]";
enum Field { kCreated, kProcessId, kProcessName, kDeviceInstance, kFieldCount };
const std::vector<std::u16string>& FieldPaths() {
  static const std::vector<std::u16string> paths = {
      u"Event/System/TimeCreated/@SystemTime",
      u"Event/EventData/Data[@Name='ProcessId']",
      u"Event/EventData/Data[@Name='ProcessName']",
      u"Event/EventData/Data[@Name='DeviceInstance']",
  };
  return paths;
}
constexpr std::uint32_t kEventsPerCall = 16;

// The process ID as rendered: a number, or a text of decimal digits (the
// form the event's XML shows); none for anything else.
std::optional<std::uint32_t> ProcessIdOf(const EventValue& value) {
  if (value.type == EventValue::Type::kUInt32) return static_cast<std::uint32_t>(value.number);
  if (value.type != EventValue::Type::kString || value.text.empty() || value.text.size() > 10) {
    return std::nullopt;
  }
  std::uint64_t id = 0;
  for (const char16_t c : value.text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    id = id * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  if (id > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(id);
}

// Adds the event's process unless the event is about another device or the
// process is known already; false when the event is older than `since`.
bool Take(const std::vector<EventValue>& values, std::uint64_t since,
          const std::vector<std::u16string>& instances, std::vector<Blocker>& found) {
  if (values.size() != kFieldCount || values[kCreated].type != EventValue::Type::kFileTime ||
      values[kDeviceInstance].type != EventValue::Type::kString) {
    return true;
  }
  if (values[kCreated].number < since) return false;
  const std::u16string& instance = values[kDeviceInstance].text;
  if (std::none_of(instances.begin(), instances.end(), [&](const std::u16string& wanted) {
        return EqualsIgnoringAsciiCase(wanted, instance);
      })) {
    return true;
  }
  const auto processId = ProcessIdOf(values[kProcessId]);
  if (!processId) return true;
  const std::uint32_t id = *processId;
  if (std::none_of(found.begin(), found.end(), [id](const Blocker& b) { return b.processId == id; })) {
    const bool named = values[kProcessName].type == EventValue::Type::kString;
    found.push_back(Blocker{id, named ? values[kProcessName].text : std::u16string()});
  }
  return true;
}

}  // namespace

std::optional<std::vector<Blocker>> ReadBlockers(const CoreServices& os, std::uint64_t since,
                                                 const std::vector<std::u16string>& instances) {
  EventLog& log = os.events;
  const UniqueEventHandle results(
      log, log.EvtQuery(kSystemLog, kRemovalStopped, kEvtQueryChannelPath | kEvtQueryReverseDirection));
  if (!results) return std::nullopt;
  const UniqueEventHandle context(log, log.EvtCreateRenderContext(FieldPaths()));
  if (!context) return std::nullopt;
  std::vector<Blocker> found;
  std::array<EventHandle, kEventsPerCall> events{};
  // Newest first: reading ends at the first event older than `since`.
  for (bool recent = true; recent && found.size() < kMaxBlockers;) {
    std::uint32_t returned = 0;
    if (!log.EvtNext(results.get(), kEventsPerCall, events.data(), kBlockerReadTimeoutMs, &returned)) {
      // The end of the results; anything else (a time-out among them) leaves
      // the log unread.
      if (os.GetLastError() == kErrorNoMoreItems) break;
      return std::nullopt;
    }
    if (returned == 0) break;
    // Every handle handed out is closed, read or not.
    std::vector<UniqueEventHandle> owned;
    for (std::uint32_t i = 0; i < std::min(returned, kEventsPerCall); ++i) {
      owned.emplace_back(log, events[i]);
    }
    for (const UniqueEventHandle& event : owned) {
      if (!recent || found.size() == kMaxBlockers) break;
      std::vector<EventValue> values;
      if (log.EvtRender(context.get(), event.get(), values)) {
        recent = Take(values, since, instances, found);
      }
    }
  }
  return found;
}

std::vector<Blocker> FindBlockers(const CoreServices& os, std::uint64_t since,
                                  const std::vector<std::u16string>& instances) {
  for (std::uint32_t look = 1;; ++look) {
    auto found = ReadBlockers(os, since, instances);
    if (!found) return {};
    if (!found->empty() || look == kBlockerLooks) return *std::move(found);
    os.kernel.Sleep(kBlockerLookPause);
  }
}

std::u16string DrivePathOf(DosDevices& dosDevices, std::u16string_view ntPath) {
  std::vector<char16_t> targets(1024);
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const char16_t name[] = {letter, u':', u'\0'};
    const std::uint32_t stored =
        dosDevices.QueryDosDeviceW(name, targets.data(), static_cast<std::uint32_t>(targets.size()));
    if (stored == 0) continue;  // no such letter
    const std::u16string device = TextUpToNul(targets.data(), stored);
    // The device's own path, or one inside it: never "\Device\HarddiskVolume1" for "...Volume10".
    if (device.empty() || ntPath.size() < device.size() ||
        !EqualsIgnoringAsciiCase(ntPath.substr(0, device.size()), device)) {
      continue;
    }
    if (ntPath.size() > device.size() && ntPath[device.size()] != u'\\') continue;
    return std::u16string{letter, u':'} + std::u16string(ntPath.substr(device.size()));
  }
  return std::u16string(ntPath);
}

}  // namespace ejectra::core
