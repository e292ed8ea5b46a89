// Ejectra.exe: the unplug tool without a window, speaking in message boxes.
#include <windows.h>

#include "platform/win32/win32_process_services.h"
#include "tools/windowless/windowless_unplug_tool.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ejectra::platform::win32::Win32ProcessServices os;
  return ejectra::tools::RunWindowlessTool(os.Services());
}
