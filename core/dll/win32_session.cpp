#include <new>

#include "core/dll/platform_session.h"
#include "platform/win32/win32_core_services.h"
#include "platform/win32/win32_kernel_base.h"

namespace ejectra::dll {

struct PlatformSession::State {
  platform::win32::Win32KernelBase kernel;
  platform::win32::Win32CoreServices services{kernel};
};

PlatformSession::PlatformSession(Export, int) noexcept : state_(new (std::nothrow) State) {
  if (state_) services_.reset(new (std::nothrow) platform::CoreServices(state_->services.Services()));
}

PlatformSession::~PlatformSession() = default;

}  // namespace ejectra::dll
