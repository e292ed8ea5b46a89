#include "platform/win32/win32_synchronization.h"

#include <windows.h>

namespace ejectra::platform::win32 {

static_assert(kSynchronize == SYNCHRONIZE && kInfinite == INFINITE && kWaitTimeout == WAIT_TIMEOUT);

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
HANDLE Native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

Handle Win32Synchronization::OpenMutexW(std::uint32_t access, bool inherit,
                                        const char16_t* name) {
  return reinterpret_cast<Handle>(::OpenMutexW(access, inherit, Wide(name)));
}

std::uint32_t Win32Synchronization::WaitForSingleObject(Handle object,
                                                        std::uint32_t milliseconds) {
  return ::WaitForSingleObject(Native(object), milliseconds);
}

bool Win32Synchronization::ReleaseMutex(Handle mutex) { return ::ReleaseMutex(Native(mutex)); }
bool Win32Synchronization::CloseHandle(Handle object) { return ::CloseHandle(Native(object)); }
bool Win32Synchronization::SetEvent(Handle event) { return ::SetEvent(Native(event)); }
void Win32Synchronization::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
ErrorCode Win32Synchronization::GetLastError() { return ::GetLastError(); }

}  // namespace ejectra::platform::win32
