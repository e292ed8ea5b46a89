// user32 and comctl32 as the wizard's pages use them: dialog controls, the
// list view, and the wizard frame (a property sheet in wizard mode) that
// calls a page's hooks. Every method takes the window it acts on, as the
// call it is named after does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace ejectra::platform {

inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kPsmSetWizButtons = 0x0470;
inline constexpr std::uint32_t kPswizbBack = 0x1;
inline constexpr std::uint32_t kPswizbNext = 0x2;
inline constexpr std::uint32_t kPswizbFinish = 0x4;
inline constexpr int kIdCancel = 2;
inline constexpr std::uint32_t kBstChecked = 1;
inline constexpr std::uint32_t kLvsExFullRowSelect = 0x20;
inline constexpr int kLvcfmtLeft = 0;
inline constexpr std::uint32_t kLvniSelected = 0x2;

class Windows {
 public:
  virtual ~Windows() = default;

  virtual bool PostMessageW(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
  virtual WindowHandle GetParent(WindowHandle window) = 0;
  virtual WindowHandle GetDlgItem(WindowHandle dialog, int id) = 0;
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;
  virtual bool CheckRadioButton(WindowHandle dialog, int first, int last, int check) = 0;
  virtual std::uint32_t IsDlgButtonChecked(WindowHandle dialog, int id) = 0;
  // The control's whole text (WM_GETTEXT).
  virtual std::u16string GetDlgItemTextW(WindowHandle dialog, int id) = 0;
  virtual bool SetDlgItemTextW(WindowHandle dialog, int id, const char16_t* text) = 0;
  // EM_LIMITTEXT
  virtual void Edit_LimitText(WindowHandle edit, int limit) = 0;
  virtual bool LockWindowUpdate(WindowHandle window) = 0;  // 0 unlocks

  // The list view messages (LVM_*), named after their commctrl.h macros.
  virtual std::uint32_t ListView_GetExtendedListViewStyle(WindowHandle list) = 0;
  virtual void ListView_SetExtendedListViewStyle(WindowHandle list, std::uint32_t style) = 0;
  virtual int ListView_InsertColumn(WindowHandle list, int index, const char16_t* text,
                                    int format, int width) = 0;
  virtual bool ListView_DeleteAllItems(WindowHandle list) = 0;
  virtual int ListView_GetItemCount(WindowHandle list) = 0;
  // LVIF_TEXT at `index`; the index the row got, or -1.
  virtual int ListView_InsertItem(WindowHandle list, int index, const char16_t* text) = 0;
  // LVIF_PARAM, and the texts of the row's sub-items.
  virtual bool ListView_SetItemParam(WindowHandle list, int index, std::intptr_t param) = 0;
  virtual std::intptr_t ListView_GetItemParam(WindowHandle list, int index) = 0;
  virtual bool ListView_SetItemText(WindowHandle list, int index, int subItem,
                                    const char16_t* text) = 0;
  virtual std::u16string ListView_GetItemText(WindowHandle list, int index, int subItem) = 0;
  virtual std::uint32_t ListView_GetSelectedCount(WindowHandle list) = 0;
  virtual int ListView_GetNextItem(WindowHandle list, int start, std::uint32_t flags) = 0;
};

// A page of the wizard frame, as the frame sees it. Each hook gets the
// page's window; the frame's own window is the page's parent.
class WizardPage {
 public:
  struct Resources {
    int dialog;          // the template
    int caption;         // the string shown as the window title
    int headerTitle;     // the header strip's two strings
    int headerSubtitle;
    bool hideHeader;     // an exterior page (PSP_HIDEHEADER)
  };
  static constexpr std::intptr_t kNextInOrder = 0;
  static constexpr std::intptr_t kStay = -1;

  virtual ~WizardPage() = default;
  virtual Resources Describe() const = 0;
  // On the page's first activation only.
  virtual void OnInitDialog(WindowHandle page) = 0;
  // false: the frame passes over the page in the direction of travel.
  virtual bool OnSetActive(WindowHandle page) = 0;
  // kNextInOrder, kStay, or the dialog template of the page to go to.
  virtual std::intptr_t OnWizardNext(WindowHandle page) = 0;
  // true: the wizard closes.
  virtual bool OnWizardFinish(WindowHandle page) = 0;
  // A push button of the page was clicked (BN_CLICKED).
  virtual void OnCommand(WindowHandle page, int id) = 0;
  // A control of the page sent NM_CLICK.
  virtual void OnClick(WindowHandle page, int id) = 0;
};

// The program's handler of WM_SYSCOMMAND on the frame's window, handed every
// command as the system sends it (the low four bits included); true when it
// took the command, false for the default handling.
using SystemCommandHandler = std::function<bool(WindowHandle frame, std::uint32_t command)>;

// PropertySheetW in wizard mode: shows the pages in order, modal, until the
// wizard closes. Back always goes to the previous page in order.
class WizardFrame {
 public:
  virtual ~WizardFrame() = default;
  virtual std::intptr_t RunWizard(const std::vector<WizardPage*>& pages,
                                  const SystemCommandHandler& onSystemCommand) = 0;
};

}  // namespace ejectra::platform
