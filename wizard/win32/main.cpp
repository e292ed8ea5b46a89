// EjectraWizard.exe: the shortcut wizard's Windows program. It sets up
// common controls and COM, loads the Wizard97 bitmaps for the screen's DPI,
// hands the real services to the wizard and runs its sheet; the exit code is
// always 0.
#include <windows.h>

#include "platform/win32/common_controls.h"
#include "platform/win32/win32_kernel_base.h"
#include "platform/win32/win32_process_services.h"
#include "platform/win32/win32_registry_reader.h"
#include "platform/win32/win32_shell_folders.h"
#include "platform/win32/win32_windows.h"
#include "wizard/pages.h"
#include "wizard/win32/win32_wizard_ui.h"
#include "wizard/win32/wizard_bitmaps.h"

namespace {

using namespace ejectra;

constexpr int kProgramIcon = 128;
constexpr int kAboutMenuText = 101;

// The application: the screen's DPI and the two Wizard97 bitmaps for it, for
// its whole life, and the one run of the wizard.
class CWizardApp {
 public:
  explicit CWizardApp(HINSTANCE instance)
      : dpi_(wizard::win32::ScreenDpi()),
        watermark_(wizard::win32::LoadWizardBitmap(
            instance, wizard::ChooseBitmap(wizard::kWatermarkBitmap, dpi_))),
        header_(wizard::win32::LoadWizardBitmap(
            instance, wizard::ChooseBitmap(wizard::kHeaderBitmap, dpi_))) {}

  // Common controls and COM, then the sheet, modally; false: no message
  // loop follows, the program ends.
  bool InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    if (!::InitCommonControlsEx(&controls)) ::InitCommonControls();
    platform::win32::Win32KernelBase kernel;
    platform::win32::Win32ProcessServices process(kernel);
    process.CoInitialize();  // the wizard works on, whatever it answers
    {
      platform::win32::Win32RegistryReader registry;  // it reads one value
      platform::win32::Win32ShellFolders shell;
      platform::win32::Win32Windows windows;
      wizard::win32::Win32WizardUi ui(process, process, dpi_);
      const wizard::WizardServices os{process.Services(), registry, shell, windows, ui};
      platform::win32::Win32WizardFrame frame(
          {reinterpret_cast<std::uintptr_t>(watermark_.get()),
           reinterpret_cast<std::uintptr_t>(header_.get()), kProgramIcon,
           wizard::CEjectraSheet::kAboutCommand, kAboutMenuText});
      wizard::CEjectraSheet sheet(os);
      sheet.Run(frame);
    }
    process.CoUninitialize();
    return false;
  }

 private:
  int dpi_;
  platform::win32::UniqueBitmap watermark_;  // null when not loaded: the sheet goes without
  platform::win32::UniqueBitmap header_;
};

}  // namespace

// No exception leaves the program: one that reaches here (an exhausted
// memory outside the window procedures, which catch their own) ends the
// program with its usual exit code.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) try {
  CWizardApp app(instance);
  app.InitInstance();
  return 0;
} catch (...) {
  return 0;
}
