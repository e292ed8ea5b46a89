#include "platform/win32/win32_kernel_base.h"

#include <windows.h>

namespace ejectra::platform::win32 {

static_assert(sizeof(Handle) == sizeof(HANDLE));

ErrorCode Win32KernelBase::GetLastError() { return ::GetLastError(); }
void Win32KernelBase::SetLastError(ErrorCode error) { ::SetLastError(error); }
void Win32KernelBase::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32KernelBase::GetSystemTimeAsFileTime() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

bool Win32KernelBase::CloseHandle(Handle object) {
  return ::CloseHandle(reinterpret_cast<HANDLE>(object));
}

}  // namespace ejectra::platform::win32
