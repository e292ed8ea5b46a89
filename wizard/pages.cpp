// The page base, the five simple pages (welcome, connect, method,
// more-or-quit, finish) and the sheet.
#include "wizard/pages.h"

#include "wizard/message_ids.h"
#include "wizard/page_ids.h"
#include "wizard/shortcut.h"

namespace ejectra::wizard {

using platform::WindowHandle;
using namespace ids;

// --- CBasePage -----------------------------------------------------------------

WindowHandle CBasePage::Frame(WindowHandle page) const { return os_.windows.GetParent(page); }

void CBasePage::SetWizardButtons(WindowHandle page, std::uint32_t flags) const {
  os_.windows.PostMessageW(Frame(page), platform::kPsmSetWizButtons, 0,
                           static_cast<std::intptr_t>(flags));
}

void CBasePage::CloseWizard(WindowHandle page) const {
  os_.windows.PostMessageW(Frame(page), platform::kWmClose, 0, 0);
}

std::u16string CBasePage::LoadText(int id) const {
  return os_.process.modules.LoadStringW(static_cast<std::uint32_t>(id));
}

void CBasePage::ShowMessage(WindowHandle page, int id, std::uint32_t style) const {
  const std::u16string text = LoadText(id);
  const std::u16string caption = LoadText(kMsgProductName);
  os_.process.output.MessageBoxW(page, text.c_str(), caption.c_str(), style);
}

// --- Welcome -------------------------------------------------------------------

CWizPageWelcome::CWizPageWelcome(const WizardServices& os)
    : CBasePage(os, kDlgWelcome, kMsgWelcomeCaption, kMsgWelcomeTitle, kMsgWelcomeSubtitle,
                /*hideHeader=*/true) {}

void CWizPageWelcome::OnInitDialog(WindowHandle page) {
  os_.ui.SetBoldTitleFont(page, kIdcTitle);
  SetWizardButtons(page, platform::kPswizbNext);
}

bool CWizPageWelcome::OnSetActive(WindowHandle page) {
  SetWizardButtons(page, platform::kPswizbNext);
  return true;
}

void CWizPageWelcome::OnCommand(WindowHandle page, int id) {
  if (id == kIdcDetails) os_.ui.RunAboutBox(Frame(page));
}

// --- Connect -------------------------------------------------------------------

CWizPageConnectDrives::CWizPageConnectDrives(const WizardServices& os)
    : CBasePage(os, kDlgConnectDrives, kMsgConnectCaption, kMsgConnectTitle,
                kMsgConnectSubtitle) {}

bool CWizPageConnectDrives::OnSetActive(WindowHandle page) {
  SetWizardButtons(page, platform::kPswizbBack | platform::kPswizbNext);
  return true;
}

// --- Method --------------------------------------------------------------------

CWizPageProcessSelection::CWizPageProcessSelection(const WizardServices& os)
    : CBasePage(os, kDlgProcessSelection, kMsgMethodCaption, kMsgMethodTitle,
                kMsgMethodSubtitle) {}

void CWizPageProcessSelection::OnInitDialog(WindowHandle page) {
  // Only on the first visit: a later one finds the choice the user left.
  os_.windows.CheckRadioButton(page, kIdcAutomatic, kIdcManual, kIdcAutomatic);
}

bool CWizPageProcessSelection::OnSetActive(WindowHandle page) {
  SetWizardButtons(page, platform::kPswizbBack | platform::kPswizbNext);
  return true;
}

std::intptr_t CWizPageProcessSelection::OnWizardNext(WindowHandle page) {
  if (os_.windows.IsDlgButtonChecked(page, kIdcAutomatic) == platform::kBstChecked) {
    if (CreateShortcutsForAllDrives(os_, page)) return kDlgFinish;
    CloseWizard(page);  // it said why, or there was nothing to say
    return kStay;
  }
  if (os_.windows.IsDlgButtonChecked(page, kIdcManual) == platform::kBstChecked) {
    return kDlgSelectDrive;
  }
  return kStay;
}

// --- More or quit ----------------------------------------------------------------

CWizPageConfirmMore::CWizPageConfirmMore(const WizardServices& os)
    : CBasePage(os, kDlgConfirmMore, kMsgActionCaption, kMsgActionTitle,
                kMsgActionSubtitle) {}

void CWizPageConfirmMore::OnInitDialog(WindowHandle page) {
  os_.windows.CheckRadioButton(page, kIdcBackToDriveList, kIdcQuit, kIdcQuit);
}

bool CWizPageConfirmMore::OnSetActive(WindowHandle page) {
  SetWizardButtons(page, platform::kPswizbNext);
  return true;
}

std::intptr_t CWizPageConfirmMore::OnWizardNext(WindowHandle page) {
  if (os_.windows.IsDlgButtonChecked(page, kIdcBackToDriveList) == platform::kBstChecked) {
    return kDlgSelectDrive;
  }
  if (os_.windows.IsDlgButtonChecked(page, kIdcQuit) == platform::kBstChecked) return kDlgFinish;
  return kStay;
}

// --- Finish --------------------------------------------------------------------

CWizPageFinish::CWizPageFinish(const WizardServices& os)
    : CBasePage(os, kDlgFinish, kMsgFinishCaption, kMsgFinishTitle, kMsgFinishSubtitle,
                /*hideHeader=*/true) {}

void CWizPageFinish::OnInitDialog(WindowHandle page) {
  os_.ui.SetBoldTitleFont(page, kIdcTitle);
  SetWizardButtons(page, platform::kPswizbFinish);
  // Nothing is left to cancel: the shortcuts are written.
  os_.windows.EnableWindow(os_.windows.GetDlgItem(Frame(page), platform::kIdCancel), false);
}

// --- The sheet -----------------------------------------------------------------

CEjectraSheet::CEjectraSheet(const WizardServices& os)
    : pageWelcome_(os),
      pageConnectDrives_(os),
      pageProcessSelection_(os),
      pageSelectDrive_(os, *this),
      pageShortCut_(os, *this),
      pageConfirmMore_(os),
      pageFinish_(os),
      os_(os) {}

std::intptr_t CEjectraSheet::Run(platform::WizardFrame& frame) {
  return frame.RunWizard({&pageWelcome_, &pageConnectDrives_, &pageProcessSelection_,
                          &pageSelectDrive_, &pageShortCut_, &pageConfirmMore_,
                          &pageFinish_},
                         [this](WindowHandle window, std::uint32_t command) {
                           return OnSysCommand(window, command);
                         });
}

bool CEjectraSheet::OnSysCommand(WindowHandle frame, std::uint32_t command) {
  if ((command & 0xFFF0) != kAboutCommand) return false;
  os_.ui.RunAboutBox(frame);
  return true;
}

}  // namespace ejectra::wizard
