// The shortcut page: the chosen drive's default name and comment, the icon
// (the unplug tool's own unless the user picks another), and Next, which
// writes the shortcut.
#include <algorithm>
#include <string_view>

#include "shared/message_format.h"
#include "wizard/message_ids.h"
#include "wizard/page_ids.h"
#include "wizard/pages.h"
#include "wizard/shortcut.h"
#include "wizard/shortcut_path.h"

namespace ejectra::wizard {

using platform::WindowHandle;
using namespace ids;

namespace {

constexpr int kNameCapacity = 260;  // each edit holds at most this many characters

}  // namespace

CWizPageShortCut::CWizPageShortCut(const WizardServices& os, CEjectraSheet& sheet)
    : CBasePage(os, kDlgShortcut, kMsgCreateCaption, kMsgCreateTitle, kMsgCreateSubtitle),
      sheet_(sheet) {}

void CWizPageShortCut::OnInitDialog(WindowHandle page) {
  os_.windows.Edit_LimitText(os_.windows.GetDlgItem(page, kIdcComment), kNameCapacity);
  os_.windows.Edit_LimitText(os_.windows.GetDlgItem(page, kIdcName), kNameCapacity);
  iconPath_ = DefaultTarget(os_.registry);
  iconIndex_ = 0;
  UpdateIconPreview(page);
}

bool CWizPageShortCut::OnSetActive(WindowHandle page) {
  if (sheet_.m_arrDriveItems.empty()) return false;  // no drive chosen: passed over
  const CDriveItem& item = sheet_.m_arrDriveItems.front();
  const auto letter = static_cast<char16_t>(u'@' + item.drive);
  const std::u16string name =
      ReplaceForbiddenCharacters(FormatMessageTemplate(LoadText(kMsgShortcutName), {letter}));
  const std::u16string comment = FormatMessageTemplate(
      LoadText(kMsgShortcutComment),
      {std::u16string_view(item.name), std::u16string_view(item.description)});
  drive_ = item.drive;
  // What the user typed on an earlier visit gives way; the icon choice stays.
  os_.windows.SetDlgItemTextW(page, kIdcComment, comment.c_str());
  os_.windows.SetDlgItemTextW(page, kIdcName, name.c_str());
  return true;
}

void CWizPageShortCut::OnCommand(WindowHandle page, int id) {
  if (id != kIdcChangeIcon) return;
  std::u16string path = iconPath_.substr(0, kNameCapacity - 1);
  int index = iconIndex_;
  if (!os_.ui.PickIcon(page, path, index)) return;  // cancelled: the old choice stays
  iconPath_ = std::move(path);
  iconIndex_ = index;
  UpdateIconPreview(page);
}

void CWizPageShortCut::UpdateIconPreview(WindowHandle page) {
  os_.ui.ShowIcon(page, kIdcIconPreview, iconPath_, iconIndex_);
}

std::intptr_t CWizPageShortCut::OnWizardNext(WindowHandle page) {
  const std::u16string comment = os_.windows.GetDlgItemTextW(page, kIdcComment);
  const std::u16string name = os_.windows.GetDlgItemTextW(page, kIdcName);
  // The text stays for the user to mend.
  if (HasForbiddenCharacter(name)) {
    ShowMessage(page, kMsgForbiddenCharacter, 0);  // MB_OK
    return kStay;
  }
  if (!IsUsableShortcutName(name)) {  // empty, or nothing but dots and blanks: no file of its own
    ShowMessage(page, kMsgShortcutFailed, platform::kMbIconError);
    return kStay;
  }
  if (CreateDriveShortcut(os_, page, drive_, name, comment, &iconPath_, iconIndex_)) {
    return kNextInOrder;
  }
  CloseWizard(page);  // the writer said why
  return kStay;
}

}  // namespace ejectra::wizard
