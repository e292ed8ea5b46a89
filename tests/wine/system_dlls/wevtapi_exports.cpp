// The simulated wevtapi.dll: the event log calls that Pullcore.dll loads by
// name, answering through SimEventLog from the System log that the machine
// file carries (written there by the simulated setupapi.dll). A query sees
// the records whose time has come on the real clock: a record logged with a
// delay stays out of sight until then. Rendered values are laid out as
// wevtapi lays them: the EVT_VARIANTs first, the texts they point at after
// them, and a buffer too small answers ERROR_INSUFFICIENT_BUFFER with the
// size needed. The exports are named Sim* here; wevtapi.def gives them their
// real names.
#include <windows.h>
// windows.h first
#include <winevt.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sim/machine_file.h"
#include "platform/sim/sim_event_log.h"
#include "core/dll/machine_store.h"

namespace {

using ejectra::platform::EventHandle;
using ejectra::platform::EventValue;
using namespace ejectra::platform::sim;
using namespace ejectra::dll;

struct EventWorld {
  SimWorld world;
  SimEventLog log{world};
};

EventWorld& Events() {
  static EventWorld* const events = new EventWorld;  // lives as long as the process
  return *events;
}

// The machine file's records created by now, oldest first. Records are
// looked up by position, so the log is replaced only while no handle is open.
void Refresh(EventWorld& events) {
  if (events.log.OpenHandles() != 0) return;
  const std::wstring path = MachinePath();
  const auto text = path.empty() ? std::nullopt : ReadMachineText(path);
  auto records = text ? ParseSystemLog(*text) : std::nullopt;
  if (!records) records.emplace();
  const std::uint64_t now = WorldNow();
  std::erase_if(*records, [now](const SimEvent& event) { return event.created > now; });
  std::stable_sort(records->begin(), records->end(),
                   [](const SimEvent& a, const SimEvent& b) { return a.created < b.created; });
  events.world.systemLog = *std::move(records);
}

EVT_HANDLE Evt(EventHandle handle) { return reinterpret_cast<EVT_HANDLE>(handle); }
EventHandle Handle(EVT_HANDLE handle) { return reinterpret_cast<EventHandle>(handle); }

BOOL Answer(bool ok) {
  if (!ok) SetLastError(Events().world.lastError);
  return ok ? TRUE : FALSE;
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The bytes EvtRender needs for these values: the variants, then each text with its NUL.
DWORD RenderedSize(const std::vector<EventValue>& values) {
  std::size_t size = values.size() * sizeof(EVT_VARIANT);
  for (const EventValue& value : values) {
    if (value.type == EventValue::Type::kString) size += (value.text.size() + 1) * sizeof(WCHAR);
  }
  return static_cast<DWORD>(size);
}

void Lay(const std::vector<EventValue>& values, void* buffer) {
  auto* variants = static_cast<EVT_VARIANT*>(buffer);
  auto* texts = reinterpret_cast<WCHAR*>(variants + values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EVT_VARIANT& variant = variants[i];
    std::memset(&variant, 0, sizeof variant);
    switch (values[i].type) {
      case EventValue::Type::kString:
        variant.Type = EvtVarTypeString;
        variant.StringVal = texts;
        std::memcpy(texts, values[i].text.c_str(), (values[i].text.size() + 1) * sizeof(WCHAR));
        texts += values[i].text.size() + 1;
        break;
      case EventValue::Type::kUInt32:
        variant.Type = EvtVarTypeUInt32;
        variant.UInt32Val = static_cast<UINT32>(values[i].number);
        break;
      case EventValue::Type::kFileTime:
        variant.Type = EvtVarTypeFileTime;
        variant.FileTimeVal = values[i].number;
        break;
      case EventValue::Type::kNull:
        variant.Type = EvtVarTypeNull;
        break;
    }
  }
}

}  // namespace

extern "C" {

EVT_HANDLE WINAPI SimEvtQuery(EVT_HANDLE session, LPCWSTR path, LPCWSTR query, DWORD flags) {
  if (session) {  // only the local machine is modelled
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  EventWorld& events = Events();
  Refresh(events);
  const EventHandle results = events.log.EvtQuery(reinterpret_cast<const char16_t*>(path),
                                                  reinterpret_cast<const char16_t*>(query), flags);
  if (!results) Answer(false);
  return Evt(results);
}

BOOL WINAPI SimEvtNext(EVT_HANDLE resultSet, DWORD eventsSize, EVT_HANDLE* events, DWORD timeout,
                       DWORD flags, PDWORD returned) {
  if (flags != 0 || !returned) return Refuse(ERROR_INVALID_PARAMETER);
  std::vector<EventHandle> handed(events ? eventsSize : 0);
  std::uint32_t count = 0;
  const bool ok = Events().log.EvtNext(Handle(resultSet), eventsSize,
                                       events ? handed.data() : nullptr, timeout, &count);
  for (std::uint32_t i = 0; ok && i < count; ++i) events[i] = Evt(handed[i]);
  *returned = ok ? count : 0;
  return Answer(ok);
}

EVT_HANDLE WINAPI SimEvtCreateRenderContext(DWORD valuePathsCount, LPCWSTR* valuePaths,
                                            DWORD flags) {
  if (flags != EvtRenderContextValues || (valuePathsCount != 0 && !valuePaths)) {
    SetLastError(ERROR_INVALID_PARAMETER);  // system and user contexts are not modelled
    return nullptr;
  }
  std::vector<std::u16string> paths;
  for (DWORD i = 0; i < valuePathsCount; ++i) {
    paths.emplace_back(reinterpret_cast<const char16_t*>(valuePaths[i]));
  }
  const EventHandle context = Events().log.EvtCreateRenderContext(paths);
  if (!context) Answer(false);
  return Evt(context);
}

BOOL WINAPI SimEvtRender(EVT_HANDLE context, EVT_HANDLE fragment, DWORD flags, DWORD bufferSize,
                         PVOID buffer, PDWORD bufferUsed, PDWORD propertyCount) {
  if (flags != EvtRenderEventValues || !bufferUsed || !propertyCount || (bufferSize && !buffer)) {
    return Refuse(ERROR_INVALID_PARAMETER);  // XML and bookmarks are not modelled
  }
  std::vector<EventValue> values;
  if (!Events().log.EvtRender(Handle(context), Handle(fragment), values)) return Answer(false);
  *bufferUsed = RenderedSize(values);
  *propertyCount = static_cast<DWORD>(values.size());
  if (!buffer || bufferSize < *bufferUsed) return Refuse(ERROR_INSUFFICIENT_BUFFER);
  Lay(values, buffer);
  return TRUE;
}

BOOL WINAPI SimEvtClose(EVT_HANDLE object) { return Answer(Events().log.EvtClose(Handle(object))); }

}  // extern "C"
