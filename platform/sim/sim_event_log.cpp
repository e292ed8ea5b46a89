#include "platform/sim/sim_event_log.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/sim/utf.h"
#include "platform/text.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) { return text ? text : u""; }

// The text between `before` and the next `after` in `text`, or none.
std::optional<std::u16string_view> Between(std::u16string_view text, std::u16string_view before,
                                           std::u16string_view after) {
  const std::size_t start = text.find(before);
  if (start == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view rest = text.substr(start + before.size());
  const std::size_t end = rest.find(after);
  if (end == std::u16string_view::npos) return std::nullopt;
  return rest.substr(0, end);
}

// The one form of query taken: "*[System[Provider[@Name='P'] and (EventID=N)]]".
struct Query {
  std::u16string provider;
  std::uint32_t id = 0;
};
std::optional<Query> ParseQuery(std::u16string_view text) {
  const auto provider = Between(text, u"*[System[Provider[@Name='", u"']");
  const auto id = Between(text, u"] and (EventID=", u")]]");
  if (!provider || !id || id->empty() || id->size() > 5 ||
      !std::all_of(id->begin(), id->end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
    return std::nullopt;
  }
  Query query{std::u16string(*provider), 0};
  for (const char16_t c : *id) query.id = query.id * 10 + static_cast<std::uint32_t>(c - u'0');
  return query;
}

EventValue Render(const SimEvent& event, std::u16string_view path) {
  if (path == u"Event/System/TimeCreated/@SystemTime") {
    return {EventValue::Type::kFileTime, {}, kSimEpochFileTime + event.created * 10'000};
  }
  if (const auto name = Between(path, u"Event/EventData/Data[@Name='", u"']")) {
    const std::u16string key(*name);
    if (const auto it = event.texts.find(key); it != event.texts.end()) {
      return {EventValue::Type::kString, it->second, 0};
    }
    if (const auto it = event.numbers.find(key); it != event.numbers.end()) {
      return {EventValue::Type::kUInt32, {}, it->second};
    }
  }
  return {};
}

}  // namespace

bool SimEventLog::Fail(ErrorCode error) {
  world_.lastError = error;
  return false;
}

EventHandle SimEventLog::EvtQuery(const char16_t* path, const char16_t* query, std::uint32_t flags) {
  if (const auto fault = world_.calls.Enter("EvtQuery", Utf16ToUtf8(View(path)))) {
    Fail(*fault);
    return 0;
  }
  if (!path || !query) return Fail(kErrorInvalidParameter), 0;
  if (!(flags & kEvtQueryChannelPath) || !EqualsIgnoringAsciiCase(View(path), u"System") ||
      !world_.systemLogReadable) {
    return Fail(kErrorEvtChannelNotFound), 0;
  }
  const auto parsed = ParseQuery(View(query));
  if (!parsed) return Fail(kErrorEvtInvalidQuery), 0;
  std::vector<std::size_t> matches;
  for (std::size_t i = 0; i < world_.systemLog.size(); ++i) {
    const SimEvent& event = world_.systemLog[i];
    if (event.id == parsed->id && EqualsIgnoringAsciiCase(event.provider, parsed->provider)) {
      matches.push_back(i);
    }
  }
  // Handed out from the back: oldest first unless asked the other way.
  if (!(flags & kEvtQueryReverseDirection)) std::reverse(matches.begin(), matches.end());
  results_[++next_] = std::move(matches);
  return next_;
}

bool SimEventLog::EvtNext(EventHandle resultSet, std::uint32_t eventsSize, EventHandle* events,
                          std::uint32_t timeout, std::uint32_t* returned) {
  // The results are in memory: nothing is ever waited for, but the wait
  // asked is logged.
  if (const auto fault = world_.calls.Enter("EvtNext", "timeout " + std::to_string(timeout))) {
    return Fail(*fault);
  }
  const auto it = results_.find(resultSet);
  if (it == results_.end()) return Fail(kErrorInvalidHandle);
  if (!events || !returned || eventsSize == 0) return Fail(kErrorInvalidParameter);
  std::vector<std::size_t>& left = it->second;
  if (left.empty()) return Fail(kErrorNoMoreItems);
  *returned = 0;
  while (*returned < eventsSize && !left.empty()) {
    events_[++next_] = left.back();
    left.pop_back();
    events[(*returned)++] = next_;
  }
  return true;
}

EventHandle SimEventLog::EvtCreateRenderContext(const std::vector<std::u16string>& valuePaths) {
  if (const auto fault = world_.calls.Enter("EvtCreateRenderContext")) {
    Fail(*fault);
    return 0;
  }
  contexts_[++next_] = valuePaths;
  return next_;
}

bool SimEventLog::EvtRender(EventHandle context, EventHandle event,
                            std::vector<EventValue>& values) {
  if (const auto fault = world_.calls.Enter("EvtRender")) return Fail(*fault);
  const auto paths = contexts_.find(context);
  const auto record = events_.find(event);
  if (paths == contexts_.end() || record == events_.end()) return Fail(kErrorInvalidHandle);
  values.clear();
  for (const std::u16string& path : paths->second) {
    values.push_back(Render(world_.systemLog[record->second], path));
  }
  return true;
}

bool SimEventLog::EvtClose(EventHandle object) {
  world_.calls.Enter("EvtClose");
  if (results_.erase(object) + events_.erase(object) + contexts_.erase(object) == 0) {
    return Fail(kErrorInvalidHandle);
  }
  return true;
}

}  // namespace ejectra::platform::sim
