#include "core/dll/platform_session.h"
#include "platform/win32/win32_core_services.h"

namespace ejectra::dll {

bool RunOnPlatform(Operation operation, void* context) noexcept {
  platform::win32::Win32CoreServices services;
  return operation(services.Services(), context);
}

}  // namespace ejectra::dll
