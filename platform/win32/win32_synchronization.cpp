#include "platform/win32/win32_synchronization.h"

#include <windows.h>
// The seam names these calls as Windows does; here they are not the macros.
#undef InterlockedIncrement
#undef InterlockedDecrement
#undef InterlockedExchangeAdd

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(sizeof(Handle) == sizeof(HANDLE));
static_assert(kSynchronize == SYNCHRONIZE && kInfinite == INFINITE);
static_assert(kWaitObject0 == WAIT_OBJECT_0 && kWaitTimeout == WAIT_TIMEOUT &&
              kWaitFailed == WAIT_FAILED);

namespace {

HANDLE Native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
Handle Portable(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

}  // namespace

Handle Win32Synchronization::CreateMutexW(const char16_t* name) {
  return Portable(::CreateMutexW(nullptr, FALSE, Wide(name)));
}

Handle Win32Synchronization::OpenMutexW(std::uint32_t access, bool inherit,
                                        const char16_t* name) {
  return Portable(::OpenMutexW(access, inherit, Wide(name)));
}

Handle Win32Synchronization::CreateEventW(bool manualReset, bool initialState,
                                          const char16_t* name) {
  return Portable(::CreateEventW(nullptr, manualReset, initialState, Wide(name)));
}

std::uint32_t Win32Synchronization::WaitForSingleObject(Handle object,
                                                        std::uint32_t milliseconds) {
  return ::WaitForSingleObject(Native(object), milliseconds);
}

bool Win32Synchronization::ReleaseMutex(Handle mutex) { return ::ReleaseMutex(Native(mutex)); }
bool Win32Synchronization::SetEvent(Handle event) { return ::SetEvent(Native(event)); }

// std::atomic's operations are the interlocked ones, full barrier included.
std::int32_t Win32Synchronization::InterlockedIncrement(std::atomic<std::int32_t>& addend) {
  return ++addend;
}
std::int32_t Win32Synchronization::InterlockedDecrement(std::atomic<std::int32_t>& addend) {
  return --addend;
}
std::int32_t Win32Synchronization::InterlockedExchangeAdd(std::atomic<std::int32_t>& addend,
                                                          std::int32_t value) {
  return addend.fetch_add(value);
}

}  // namespace ejectra::platform::win32
