// What only the Windows program does for the wizard: the bold title font,
// the shortcut's icon, the shell's icon picker and the About box.
#pragma once

#include "platform/process_services.h"
#include "platform/win32/win32_gdi.h"
#include "wizard/wizard_services.h"

namespace ejectra::wizard::win32 {

class Win32WizardUi final : public WizardUi {
 public:
  // The About box reads the program's own version resource through these,
  // and shows its banner for the screen's `dpi`.
  Win32WizardUi(platform::Modules& modules, platform::VersionInfo& version, int dpi)
      : modules_(modules), version_(version), dpi_(dpi) {}
  Win32WizardUi(const Win32WizardUi&) = delete;
  Win32WizardUi& operator=(const Win32WizardUi&) = delete;

  void RunAboutBox(platform::WindowHandle owner) override;
  void SetBoldTitleFont(platform::WindowHandle page, int id) override;
  void ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                int index) override;
  bool PickIcon(platform::WindowHandle page, std::u16string& path, int& index) override;
  int ScreenDpi() override { return dpi_; }

 private:
  platform::Modules& modules_;
  platform::VersionInfo& version_;
  int dpi_;
  // The bold title font, made from the first page's font, kept to the end.
  platform::win32::UniqueFont boldFont_{platform::win32::kGdi};
};

}  // namespace ejectra::wizard::win32
