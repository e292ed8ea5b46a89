// The event logs of the simulated world: the System log's records, queried
// and rendered as wevtapi does for the forms of query and value path that
// the programs use. A query of another form fails with
// ERROR_EVT_INVALID_QUERY; a value path it does not know renders as null.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

inline constexpr ErrorCode kErrorEvtInvalidQuery = 15001;
inline constexpr ErrorCode kErrorEvtChannelNotFound = 15007;

class SimEventLog final : public EventLog {
 public:
  explicit SimEventLog(SimWorld& world) : world_(world) {
    world.calls.Know({"EvtClose", "EvtCreateRenderContext", "EvtNext", "EvtQuery", "EvtRender"});
  }
  SimEventLog(const SimEventLog&) = delete;
  SimEventLog& operator=(const SimEventLog&) = delete;

  // The handles not closed yet.
  std::size_t OpenHandles() const { return results_.size() + events_.size() + contexts_.size(); }

  EventHandle EvtQuery(const char16_t* path, const char16_t* query, std::uint32_t flags) override;
  bool EvtNext(EventHandle resultSet, std::uint32_t eventsSize, EventHandle* events,
               std::uint32_t timeout, std::uint32_t* returned) override;
  EventHandle EvtCreateRenderContext(const std::vector<std::u16string>& valuePaths) override;
  bool EvtRender(EventHandle context, EventHandle event, std::vector<EventValue>& values) override;
  bool EvtClose(EventHandle object) override;

 private:
  bool Fail(ErrorCode error);

  SimWorld& world_;
  std::map<EventHandle, std::vector<std::size_t>> results_;  // records not yet handed out
  std::map<EventHandle, std::size_t> events_;                // -> record
  std::map<EventHandle, std::vector<std::u16string>> contexts_;
  EventHandle next_ = 0x5000;
};

}  // namespace ejectra::platform::sim
