// Registering and unregistering PullcoreHelper.exe on real Windows: the
// steps of registration_steps.h, run on this program's own resources, the
// registry and its type library.
#pragma once

#include <windows.h>

namespace ejectra::helper {

// S_OK, or the HRESULT of the step that failed.
HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace ejectra::helper
