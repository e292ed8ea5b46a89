// The drive list page: the removable drives as the core library sees them,
// rebuilt on every visit; a click on a row enables Next, and Next hands the
// selected drive to the sheet.
#include "shared/pullcore_library.h"
#include "shared/removable_drives.h"
#include "wizard/bitmap_choice.h"
#include "wizard/message_ids.h"
#include "wizard/page_ids.h"
#include "wizard/pages.h"

namespace ejectra::wizard {

using platform::WindowHandle;
using namespace ids;

namespace {

constexpr int kColumnWidths[] = {50, 240, 180};  // drive, device name, description, at 96 DPI

}  // namespace

CWizPageSelectDrive::CWizPageSelectDrive(const WizardServices& os, CEjectraSheet& sheet)
    : CBasePage(os, kDlgSelectDrive, kMsgDriveCaption, kMsgDriveTitle,
                kMsgDriveSubtitle),
      sheet_(sheet) {}

void CWizPageSelectDrive::OnInitDialog(WindowHandle page) {
  platform::Windows& windows = os_.windows;
  const WindowHandle list = windows.GetDlgItem(page, kIdcDriveList);
  windows.ListView_SetExtendedListViewStyle(
      list, windows.ListView_GetExtendedListViewStyle(list) | platform::kLvsExFullRowSelect);
  for (int column = 0; column < 3; ++column) {
    const std::u16string heading = LoadText(kMsgColumnDrive + column);
    windows.ListView_InsertColumn(list, column, heading.c_str(), platform::kLvcfmtLeft,
                                  PixelsAtDpi(kColumnWidths[column], os_.ui.ScreenDpi()));
  }
}

bool CWizPageSelectDrive::OnSetActive(WindowHandle page) {
  platform::Windows& windows = os_.windows;
  SetWizardButtons(page, platform::kPswizbBack);  // Next waits for a click on a row
  const WindowHandle list = windows.GetDlgItem(page, kIdcDriveList);
  windows.ListView_DeleteAllItems(list);
  windows.LockWindowUpdate(list);
  const bool filled = FillDriveList(list);
  windows.LockWindowUpdate(0);
  if (filled) SetWizardButtons(page, platform::kPswizbBack);
  return true;
}

bool CWizPageSelectDrive::FillDriveList(WindowHandle list) {
  platform::Windows& windows = os_.windows;
  // Loaded for this scan only.
  const CPullcoreLibrary library(os_.process, true);
  if (!library.IsLoaded()) return false;
  RemovableDriveScan scan(os_.process.process.GetLogicalDrives(), library);
  while (const auto found = scan.Next()) {
    const std::u16string letter = found->drive.Name();
    const int row =
        windows.ListView_InsertItem(list, windows.ListView_GetItemCount(list), letter.c_str());
    if (row < 0) continue;
    windows.ListView_SetItemParam(list, row, found->drive.Number());
    windows.ListView_SetItemText(list, row, 1, found->name.c_str());
    windows.ListView_SetItemText(list, row, 2, found->description.c_str());
  }
  return true;
}

void CWizPageSelectDrive::OnClick(WindowHandle page, int id) {
  if (id != kIdcDriveList) return;
  // Only a click enables Next; a row chosen with the keys does not.
  if (os_.windows.ListView_GetSelectedCount(os_.windows.GetDlgItem(page, id)) != 0) {
    SetWizardButtons(page, platform::kPswizbBack | platform::kPswizbNext);
  }
}

std::intptr_t CWizPageSelectDrive::OnWizardNext(WindowHandle page) {
  platform::Windows& windows = os_.windows;
  const WindowHandle list = windows.GetDlgItem(page, kIdcDriveList);
  if (windows.ListView_GetSelectedCount(list) == 0) return kStay;
  const int row = windows.ListView_GetNextItem(list, -1, platform::kLvniSelected);
  if (row < 0) return kStay;
  CDriveItem item{static_cast<int>(windows.ListView_GetItemParam(list, row)),
                  windows.ListView_GetItemText(list, row, 1),
                  windows.ListView_GetItemText(list, row, 2)};
  if (!Frame(page)) return kStay;
  sheet_.m_arrDriveItems.clear();
  sheet_.m_arrDriveItems.push_back(std::move(item));
  return kNextInOrder;
}

}  // namespace ejectra::wizard
