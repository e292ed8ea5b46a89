// The event-log seam on real Windows. wevtapi.dll is loaded at the first call
// from the system folder only (never along the search path), its functions
// bound by name, and freed with this object: the program that links it keeps
// no import of it, and runs where it is missing (it came with Windows
// Vista), answering every call with ERROR_MOD_NOT_FOUND.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/event_log.h"

namespace ejectra::platform::win32 {

class Win32EventLog final : public EventLog {
 public:
  Win32EventLog();
  ~Win32EventLog() override;  // both where Library is complete
  Win32EventLog(const Win32EventLog&) = delete;
  Win32EventLog& operator=(const Win32EventLog&) = delete;

  EventHandle EvtQuery(const char16_t* path, const char16_t* query, std::uint32_t flags) override;
  bool EvtNext(EventHandle resultSet, std::uint32_t eventsSize, EventHandle* events,
               std::uint32_t timeout, std::uint32_t* returned) override;
  EventHandle EvtCreateRenderContext(const std::vector<std::u16string>& valuePaths) override;
  bool EvtRender(EventHandle context, EventHandle event, std::vector<EventValue>& values) override;
  bool EvtClose(EventHandle object) override;

 private:
  struct Library;
  // The library with its functions; null, with the last error set, when it
  // cannot be had.
  const Library* Bound();

  struct FreeModule {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
  };
  std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule> module_;
  std::unique_ptr<Library> library_;
  bool tried_ = false;
};

}  // namespace ejectra::platform::win32
