// What one export call of a Pullcore.dll runs on. The shipped library runs on
// the real platform; the simulated one loads a machine description for the
// call and keeps what the call changed.
#pragma once

#include "platform/core_services.h"

namespace ejectra::dll {

using Operation = bool (*)(const platform::CoreServices& os, void* context) noexcept;

// Runs `operation` on this library's platform; false when none can be had.
bool RunOnPlatform(Operation operation, void* context) noexcept;

}  // namespace ejectra::dll
