#include "platform/win32/win32_event_log.h"

#include <winevt.h>

#include <new>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(kEvtQueryChannelPath == EvtQueryChannelPath &&
              kEvtQueryReverseDirection == EvtQueryReverseDirection);

struct Win32EventLog::Library {
  decltype(&::EvtQuery) query;
  decltype(&::EvtNext) next;
  decltype(&::EvtCreateRenderContext) createRenderContext;
  decltype(&::EvtRender) render;
  decltype(&::EvtClose) close;
};

namespace {

template <typename Function>
bool Bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  return function != nullptr;
}

EVT_HANDLE Evt(EventHandle handle) { return reinterpret_cast<EVT_HANDLE>(handle); }
EventHandle Handle(EVT_HANDLE handle) { return reinterpret_cast<EventHandle>(handle); }

EventValue ValueOf(const EVT_VARIANT& variant) {
  switch (variant.Type) {
    case EvtVarTypeString:
      return {EventValue::Type::kString, variant.StringVal ? Utf16(variant.StringVal) : u"", 0};
    case EvtVarTypeUInt32:
    case EvtVarTypeHexInt32:
      return {EventValue::Type::kUInt32, {}, variant.UInt32Val};
    case EvtVarTypeFileTime:
      return {EventValue::Type::kFileTime, {}, variant.FileTimeVal};
    default:
      return {};
  }
}

}  // namespace

Win32EventLog::Win32EventLog() = default;
Win32EventLog::~Win32EventLog() = default;

const Win32EventLog::Library* Win32EventLog::Bound() {
  if (!tried_) {
    tried_ = true;
    module_.reset(::LoadLibraryExW(L"wevtapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    auto library = std::unique_ptr<Library>(new (std::nothrow) Library{});
    if (module_ && library && Bind(module_.get(), "EvtQuery", library->query) &&
        Bind(module_.get(), "EvtNext", library->next) &&
        Bind(module_.get(), "EvtCreateRenderContext", library->createRenderContext) &&
        Bind(module_.get(), "EvtRender", library->render) &&
        Bind(module_.get(), "EvtClose", library->close)) {
      library_ = std::move(library);
    }
  }
  if (!library_) ::SetLastError(ERROR_MOD_NOT_FOUND);
  return library_.get();
}

EventHandle Win32EventLog::EvtQuery(const char16_t* path, const char16_t* query,
                                    std::uint32_t flags) {
  const Library* library = Bound();
  return library ? Handle(library->query(nullptr, Wide(path), Wide(query), flags)) : 0;
}

bool Win32EventLog::EvtNext(EventHandle resultSet, std::uint32_t eventsSize, EventHandle* events,
                            std::uint32_t timeout, std::uint32_t* returned) {
  const Library* library = Bound();
  static_assert(sizeof(EventHandle) == sizeof(EVT_HANDLE));
  DWORD count = 0;
  const bool ok = library && library->next(Evt(resultSet), eventsSize,
                                           reinterpret_cast<EVT_HANDLE*>(events), timeout, 0, &count);
  if (returned) *returned = count;
  return ok;
}

EventHandle Win32EventLog::EvtCreateRenderContext(const std::vector<std::u16string>& valuePaths) {
  const Library* library = Bound();
  if (!library) return 0;
  std::vector<LPCWSTR> paths;
  for (const std::u16string& path : valuePaths) paths.push_back(Wide(path.c_str()));
  return Handle(library->createRenderContext(static_cast<DWORD>(paths.size()), paths.data(),
                                             EvtRenderContextValues));
}

bool Win32EventLog::EvtRender(EventHandle context, EventHandle event,
                              std::vector<EventValue>& values) {
  const Library* library = Bound();
  if (!library) return false;
  DWORD used = 0, count = 0;
  if (library->render(Evt(context), Evt(event), EvtRenderEventValues, 0, nullptr, &used, &count) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return false;
  }
  // EVT_VARIANTs first, the texts they point at after them.
  std::vector<EVT_VARIANT> buffer(used / sizeof(EVT_VARIANT) + 1);
  if (!library->render(Evt(context), Evt(event), EvtRenderEventValues,
                       static_cast<DWORD>(buffer.size() * sizeof(EVT_VARIANT)), buffer.data(),
                       &used, &count)) {
    return false;
  }
  values.clear();
  for (DWORD i = 0; i < count && i < buffer.size(); ++i) values.push_back(ValueOf(buffer[i]));
  return true;
}

bool Win32EventLog::EvtClose(EventHandle object) {
  const Library* library = Bound();
  return library && library->close(Evt(object));
}

}  // namespace ejectra::platform::win32
