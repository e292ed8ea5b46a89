// Ejectra.exe: the unplug tool without a window, speaking in message boxes.
#include <windows.h>

#include "platform/win32/win32_kernel_base.h"
#include "platform/win32/win32_process_services.h"
#include "tools/windowless/windowless_unplug_tool.h"
#include "tools/message_ids.h"

// No exception leaves the program: the only one the tool can meet, an
// exhausted memory, ends it with the failure code.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) try {
  ejectra::platform::win32::Win32KernelBase kernel;
  ejectra::platform::win32::Win32ProcessServices os(kernel);
  return ejectra::tools::RunWindowlessTool(os.Services());
} catch (...) {
  return ejectra::tools::kExitFailure;
}
