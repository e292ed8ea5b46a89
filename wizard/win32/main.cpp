// EjectraWizard.exe: the shortcut wizard's Windows program. It sets up
// common controls and COM, loads the Wizard97 bitmaps, hands the real
// services to the wizard and runs its sheet; the exit code is always 0.
#include <windows.h>

#include "platform/win32/common_controls.h"
#include "platform/win32/win32_process_services.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_folders.h"
#include "platform/win32/win32_windows.h"
#include "wizard/pages.h"
#include "wizard/win32/win32_wizard_ui.h"

namespace {

using namespace ejectra;

constexpr int kProgramIcon = 128;
constexpr int kHeaderBitmap = 132;
constexpr int kWatermarkBitmap = 133;
constexpr int kAboutMenuText = 101;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  if (!::InitCommonControlsEx(&controls)) ::InitCommonControls();

  platform::win32::Win32ProcessServices process;
  process.CoInitialize();  // the wizard works on, whatever it answers
  const HBITMAP watermark = ::LoadBitmapW(instance, MAKEINTRESOURCEW(kWatermarkBitmap));
  const HBITMAP header = ::LoadBitmapW(instance, MAKEINTRESOURCEW(kHeaderBitmap));
  {
    platform::win32::Win32Registry registry;
    platform::win32::Win32ShellFolders shell;
    platform::win32::Win32Windows windows;
    wizard::win32::Win32WizardUi ui(process, process);
    const wizard::WizardServices os{process.Services(), registry, shell, windows, ui};
    platform::win32::Win32WizardFrame frame({reinterpret_cast<std::uintptr_t>(watermark),
                                             reinterpret_cast<std::uintptr_t>(header),
                                             kProgramIcon, kAboutMenuText,
                                             [&ui](platform::WindowHandle sheet) {
                                               ui.RunAboutBox(sheet);
                                             }});
    wizard::CEjectraSheet sheet(os);
    sheet.Run(frame);
  }
  if (header) ::DeleteObject(header);
  if (watermark) ::DeleteObject(watermark);
  process.CoUninitialize();
  return 0;
}
