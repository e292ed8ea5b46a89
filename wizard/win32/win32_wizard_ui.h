// What only the Windows program does for the wizard: the bold title font,
// the shortcut's icon, the shell's icon picker and the About box.
#pragma once

#include <cstdint>

#include "platform/process_services.h"
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
  ~Win32WizardUi() override;

  void RunAboutBox(platform::WindowHandle owner) override;
  void SetBoldTitleFont(platform::WindowHandle page, int id) override;
  void ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                int index) override;
  bool PickIcon(platform::WindowHandle page, std::u16string& path, int& index) override;

 private:
  platform::Modules& modules_;
  platform::VersionInfo& version_;
  int dpi_;
  std::uintptr_t boldFont_ = 0;  // HFONT, made from the first page's font, kept to the end
};

}  // namespace ejectra::wizard::win32
