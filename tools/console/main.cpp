// ejectrac.exe: the console unplug tool.
#include "platform/win32/win32_kernel_base.h"
#include "platform/win32/win32_process_services.h"
#include "tools/console/console_unplug_tool.h"
#include "tools/message_ids.h"

// No exception leaves the program: the only one the tool can meet, an
// exhausted memory, ends it with the failure code.
int wmain() try {
  ejectra::platform::win32::Win32KernelBase kernel;
  ejectra::platform::win32::Win32ProcessServices os(kernel);
  return ejectra::tools::RunConsoleTool(os.Services());
} catch (...) {
  return ejectra::tools::kExitFailure;
}
