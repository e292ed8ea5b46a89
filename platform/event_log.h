// wevtapi: queries of the event logs, one method per call the core makes,
// each named after and behaving as that call (failure: 0 or false, the
// reason in the thread's last error). The Windows implementation loads the
// library from the system folder at its first call; where it cannot, every
// call fails with ERROR_MOD_NOT_FOUND.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace ejectra::platform {

using EventHandle = std::uintptr_t;  // EVT_HANDLE; 0 = none

inline constexpr std::uint32_t kEvtQueryChannelPath = 0x1;
inline constexpr std::uint32_t kEvtQueryReverseDirection = 0x200;  // newest first

// One value of a rendered event, as EvtRender's EVT_VARIANT held it, for the
// types read here; any other type is taken as kNull.
struct EventValue {
  enum class Type { kNull, kString, kUInt32, kFileTime };
  Type type = Type::kNull;
  std::u16string text;       // kString
  std::uint64_t number = 0;  // kUInt32, kFileTime (100 ns since 1601)
  friend bool operator==(const EventValue&, const EventValue&) = default;
};

class EventLog {
 public:
  virtual ~EventLog() = default;

  // No session (the local machine).
  virtual EventHandle EvtQuery(const char16_t* path, const char16_t* query,
                               std::uint32_t flags) = 0;
  // No flags. False with ERROR_NO_MORE_ITEMS at the end of the results.
  virtual bool EvtNext(EventHandle resultSet, std::uint32_t eventsSize, EventHandle* events,
                       std::uint32_t timeout, std::uint32_t* returned) = 0;
  // EvtRenderContextValues: the values at these paths, in this order.
  virtual EventHandle EvtCreateRenderContext(const std::vector<std::u16string>& valuePaths) = 0;
  // EvtRenderEventValues: one value per path of the context.
  virtual bool EvtRender(EventHandle context, EventHandle event,
                         std::vector<EventValue>& values) = 0;
  virtual bool EvtClose(EventHandle object) = 0;
};

}  // namespace ejectra::platform
