// Everything the wizard reaches, handed to it by the program that hosts it:
// the process services the tools use too, the registry, the shell, the
// windows of its pages and the frame that shows them, and the few things
// only the Windows program itself can do (fonts, icons, the About box).
#pragma once

#include <string>

#include "platform/core_services.h"
#include "platform/process_services.h"
#include "platform/shell_services.h"
#include "platform/window_services.h"

namespace ejectra::wizard {

// What the Windows program does with GDI and its own dialogs.
class WizardUi {
 public:
  virtual ~WizardUi() = default;

  // The About box, modal; its result is not used.
  virtual void RunAboutBox(platform::WindowHandle owner) = 0;
  // Control `id` of the page gets the page's font, bold at 13 points.
  virtual void SetBoldTitleFont(platform::WindowHandle page, int id) = 0;
  // The icon static `id` shows icon `index` of `path` (or nothing).
  virtual void ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                        int index) = 0;
  // The shell's icon picker (ordinal 62 of SHELL32.DLL); true with the new
  // choice, false when it was cancelled or cannot be had.
  virtual bool PickIcon(platform::WindowHandle page, std::u16string& path, int& index) = 0;
  // The DPI of the screen the wizard was started on (0: not known), for the
  // sizes it sets in pixels.
  virtual int ScreenDpi() = 0;
};

struct WizardServices {
  platform::ProcessServices process;
  platform::RegistryReader& registry;
  platform::ShellFolders& shell;
  platform::Windows& windows;
  WizardUi& ui;
};

}  // namespace ejectra::wizard
