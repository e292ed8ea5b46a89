// ejectrac.exe: the console unplug tool.
#include "platform/win32/win32_process_services.h"
#include "tools/console/console_unplug_tool.h"

int wmain() {
  ejectra::platform::win32::Win32ProcessServices os;
  return ejectra::tools::RunConsoleTool(os.Services());
}
