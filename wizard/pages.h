// The wizard's seven pages and the sheet that holds them. Each page is a
// WizardPage the frame calls; everything a page does to its window, the
// frame, the registry or the shell goes through the wizard's services.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_services.h"
#include "wizard/wizard_services.h"

namespace ejectra::wizard {

class CEjectraSheet;

// The drive chosen on the drive list page, for the shortcut page.
struct CDriveItem {
  int drive = 0;  // 1 = A:
  std::u16string name;         // the device's friendly name
  std::u16string description;  // its removable parent's description
  friend bool operator==(const CDriveItem&, const CDriveItem&) = default;
};

// What every page shares: its four resource IDs and the framework's
// default for each hook.
class CBasePage : public platform::WizardPage {
 public:
  CBasePage(const WizardServices& os, int dialog, int caption, int headerTitle,
            int headerSubtitle, bool hideHeader = false)
      : os_(os), resources_{dialog, caption, headerTitle, headerSubtitle, hideHeader} {}

  Resources Describe() const override { return resources_; }
  void OnInitDialog(platform::WindowHandle) override {}
  bool OnSetActive(platform::WindowHandle) override { return true; }
  std::intptr_t OnWizardNext(platform::WindowHandle) override { return kNextInOrder; }
  bool OnWizardFinish(platform::WindowHandle) override { return true; }
  void OnCommand(platform::WindowHandle, int) override {}
  void OnClick(platform::WindowHandle, int) override {}

 protected:
  // The frame is the page's parent; 0 when it cannot be found.
  platform::WindowHandle Frame(platform::WindowHandle page) const;
  // PSM_SETWIZBUTTONS, posted: it takes effect once the hook has returned.
  void SetWizardButtons(platform::WindowHandle page, std::uint32_t flags) const;
  // WM_CLOSE, posted to the frame: the wizard ends as by Cancel.
  void CloseWizard(platform::WindowHandle page) const;
  std::u16string LoadText(int id) const;
  // A message box over the page with string `id`, captioned with the
  // program's title.
  void ShowMessage(platform::WindowHandle page, int id, std::uint32_t style) const;

  WizardServices os_;

 private:
  Resources resources_;
};

class CWizPageWelcome final : public CBasePage {
 public:
  explicit CWizPageWelcome(const WizardServices& os);
  void OnInitDialog(platform::WindowHandle page) override;
  bool OnSetActive(platform::WindowHandle page) override;
  void OnCommand(platform::WindowHandle page, int id) override;
};

class CWizPageConnectDrives final : public CBasePage {
 public:
  explicit CWizPageConnectDrives(const WizardServices& os);
  bool OnSetActive(platform::WindowHandle page) override;
};

// The method: a shortcut for every removable drive at once, or one drive
// chosen from the list.
class CWizPageProcessSelection final : public CBasePage {
 public:
  explicit CWizPageProcessSelection(const WizardServices& os);
  void OnInitDialog(platform::WindowHandle page) override;
  bool OnSetActive(platform::WindowHandle page) override;
  std::intptr_t OnWizardNext(platform::WindowHandle page) override;
};

// The removable drives in a list; Next hands the chosen one to the sheet.
class CWizPageSelectDrive final : public CBasePage {
 public:
  CWizPageSelectDrive(const WizardServices& os, CEjectraSheet& sheet);
  void OnInitDialog(platform::WindowHandle page) override;
  bool OnSetActive(platform::WindowHandle page) override;
  std::intptr_t OnWizardNext(platform::WindowHandle page) override;
  void OnClick(platform::WindowHandle page, int id) override;

 private:
  // One row per removable drive, A: first; false when the core library
  // cannot be loaded.
  bool FillDriveList(platform::WindowHandle list);

  CEjectraSheet& sheet_;
};

// The icon, name and comment of the chosen drive's shortcut; Next writes it.
class CWizPageShortCut final : public CBasePage {
 public:
  CWizPageShortCut(const WizardServices& os, CEjectraSheet& sheet);
  void OnInitDialog(platform::WindowHandle page) override;
  bool OnSetActive(platform::WindowHandle page) override;
  std::intptr_t OnWizardNext(platform::WindowHandle page) override;
  void OnCommand(platform::WindowHandle page, int id) override;

 private:
  void UpdateIconPreview(platform::WindowHandle page);

  CEjectraSheet& sheet_;
  int drive_ = -1;
  std::u16string iconPath_;  // kept from the first activation until the wizard closes
  int iconIndex_ = 0;
};

// After a shortcut: back to the drive list for another, or on to the end.
class CWizPageConfirmMore final : public CBasePage {
 public:
  explicit CWizPageConfirmMore(const WizardServices& os);
  void OnInitDialog(platform::WindowHandle page) override;
  bool OnSetActive(platform::WindowHandle page) override;
  std::intptr_t OnWizardNext(platform::WindowHandle page) override;
};

class CWizPageFinish final : public CBasePage {
 public:
  explicit CWizPageFinish(const WizardServices& os);
  void OnInitDialog(platform::WindowHandle page) override;
};

// The wizard: its seven pages in order, and the drive the drive list page
// chose (none, or one).
class CEjectraSheet {
 public:
  // The frame's system-menu item that opens the About box.
  static constexpr std::uint32_t kAboutCommand = 0x0010;

  explicit CEjectraSheet(const WizardServices& os);
  CEjectraSheet(const CEjectraSheet&) = delete;
  CEjectraSheet& operator=(const CEjectraSheet&) = delete;

  // Runs the pages modally, with OnSysCommand as the frame's handler of
  // system commands; the frame's result.
  std::intptr_t Run(platform::WizardFrame& frame);
  // WM_SYSCOMMAND on the frame's window, as the system sends it: the About
  // item opens the About box; false for every other command, which gets the
  // default handling.
  bool OnSysCommand(platform::WindowHandle frame, std::uint32_t command);

  CWizPageWelcome pageWelcome_;
  CWizPageConnectDrives pageConnectDrives_;
  CWizPageProcessSelection pageProcessSelection_;
  CWizPageSelectDrive pageSelectDrive_;
  CWizPageShortCut pageShortCut_;
  CWizPageConfirmMore pageConfirmMore_;
  CWizPageFinish pageFinish_;
  std::vector<CDriveItem> m_arrDriveItems;

 private:
  WizardServices os_;
};

}  // namespace ejectra::wizard
