// The wizard's windows on real Windows: the dialog and list view calls each
// method is named after, and the wizard frame as a PropertySheetW.
#pragma once

#include <functional>
#include <utility>

#include "platform/window_services.h"

namespace ejectra::platform::win32 {

class Win32Windows final : public Windows {
 public:
  bool PostMessageW(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  WindowHandle GetParent(WindowHandle window) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  bool CheckRadioButton(WindowHandle dialog, int first, int last, int check) override;
  std::uint32_t IsDlgButtonChecked(WindowHandle dialog, int id) override;
  std::u16string GetDlgItemTextW(WindowHandle dialog, int id) override;
  bool SetDlgItemTextW(WindowHandle dialog, int id, const char16_t* text) override;
  void Edit_LimitText(WindowHandle edit, int limit) override;
  bool LockWindowUpdate(WindowHandle window) override;

  std::uint32_t ListView_GetExtendedListViewStyle(WindowHandle list) override;
  void ListView_SetExtendedListViewStyle(WindowHandle list, std::uint32_t style) override;
  int ListView_InsertColumn(WindowHandle list, int index, const char16_t* text, int format,
                            int width) override;
  bool ListView_DeleteAllItems(WindowHandle list) override;
  int ListView_GetItemCount(WindowHandle list) override;
  int ListView_InsertItem(WindowHandle list, int index, const char16_t* text) override;
  bool ListView_SetItemParam(WindowHandle list, int index, std::intptr_t param) override;
  std::intptr_t ListView_GetItemParam(WindowHandle list, int index) override;
  bool ListView_SetItemText(WindowHandle list, int index, int subItem,
                            const char16_t* text) override;
  std::u16string ListView_GetItemText(WindowHandle list, int index, int subItem) override;
  std::uint32_t ListView_GetSelectedCount(WindowHandle list) override;
  int ListView_GetNextItem(WindowHandle list, int start, std::uint32_t flags) override;
};

// What the frame's window looks like beyond its pages: the Wizard97 bitmaps
// (HBITMAP, 0 when not loaded), the program's icon group, and the item it
// appends to the system menu (its command and the string of its text).
struct WizardFrameLook {
  std::uintptr_t watermark = 0;
  std::uintptr_t header = 0;
  int icon = 0;
  std::uint32_t aboutCommand = 0;
  int aboutItemText = 0;
};

class Win32WizardFrame final : public WizardFrame {
 public:
  explicit Win32WizardFrame(WizardFrameLook look) : look_(std::move(look)) {}
  std::intptr_t RunWizard(const std::vector<WizardPage*>& pages,
                          const SystemCommandHandler& onSystemCommand) override;

 private:
  WizardFrameLook look_;
};

}  // namespace ejectra::platform::win32
