// The shortcut page on the sample machine: its default name and comment,
// the icon, the names it refuses, and what Next writes.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/wizard_fixture.h"
#include "wizard/message_ids.h"
#include "wizard/page_ids.h"

namespace ejectra::testing {
namespace {

using namespace wizard::ids;
using wizard::kMsgShortcutName;
using platform::sim::SimMessageBox;

constexpr char16_t kBadName[] = u"ショートカット名に / : * ? \"< > | は使えません。";

class ShortcutPageTest : public WizardTest {
 protected:
  // On to the shortcut page for the drive of list row `row`, then `more`.
  std::intptr_t RunToPage(int row, std::vector<Act> more = {}) {
    std::vector<Act> script = {Act::Next(), Act::Next(),
                               Act::ClickRadio(kIdcManual, kIdcAutomatic, kIdcManual),
                               Act::Next(), Act::ClickRow(kIdcDriveList, row), Act::Next()};
    script.insert(script.end(), more.begin(), more.end());
    return Run(std::move(script));
  }
  std::u16string Text(int id) { return Control(kDlgShortcut, id).text; }
  bool Called(const std::string& call) const {
    return std::find(ui.calls.begin(), ui.calls.end(), call) != ui.calls.end();
  }
};

TEST_F(ShortcutPageTest, Shown_HasTheDrivesDefaultNameAndComment) {
  RunToPage(0);
  EXPECT_EQ(Current(), kDlgShortcut);
  EXPECT_EQ(Text(kIdcName), u"Eドライブ 取り外し");
  EXPECT_EQ(Text(kIdcComment),
            u"SanDisk Cruzer Blade USB Device (USB 大容量記憶装置) を取り外します。");
  EXPECT_EQ(Last().buttons, kBackNext);  // as the drive list left them
}

TEST_F(ShortcutPageTest, Initialised_EditsLimitedAndTheTargetsIconShown) {
  RunToPage(0);
  EXPECT_EQ(Control(kDlgShortcut, kIdcName).limit, 260);
  EXPECT_EQ(Control(kDlgShortcut, kIdcComment).limit, 260);
  EXPECT_TRUE(Called("ShowIcon page 176 1008 C:\\Program Files\\Ejectra\\Ejectra.exe 0"));
}

TEST_F(ShortcutPageTest, NoDriveChosen_PassedOverInBothDirections) {
  Prepare();
  frame->script = {Act::Next(), Act::Back()};
  // Nothing in the sheet's own order reaches the page without a drive.
  frame->RunWizard({&sheet->pageConnectDrives_, &sheet->pageShortCut_,
                    &sheet->pageProcessSelection_},
                   {});
  EXPECT_EQ(Shown(),
            (std::vector<int>{kDlgConnectDrives, kDlgProcessSelection, kDlgConnectDrives}));
  EXPECT_EQ(std::count(frame->hooks.begin(), frame->hooks.end(), "176 OnSetActive"), 2);
  EXPECT_EQ(Text(kIdcName), u"");
}

TEST_F(ShortcutPageTest, DefaultNameWithForbiddenCharacters_GetsSpaces) {
  strings[kMsgShortcutName] = u"%c:\\/*?\"<>|";
  RunToPage(0);
  EXPECT_EQ(Text(kIdcName), u"E         ");
}

TEST_F(ShortcutPageTest, Next_WritesTheShortcutAndGoesToConfirmMore) {
  RunToPage(2, {Act::Type(kIdcComment, u"my disk"), Act::Next()});
  EXPECT_EQ(Written(), (std::vector<WrittenShortcut>{
                           {8, u"Hドライブ 取り外し", u"my disk", kTarget, 0}}));
  EXPECT_EQ(Current(), kDlgConfirmMore);
  EXPECT_EQ(Last().buttons, kOnlyNext);
}

TEST_F(ShortcutPageTest, NameWithForbiddenCharacter_ShowsMessageAndStays) {
  for (const char16_t c : std::u16string_view(u"\\/:*?\"<>|")) {
    const std::u16string name = std::u16string(u"a") + c + u"b";
    SCOPED_TRACE(std::string(1, static_cast<char>(c)));
    process->messageBoxes.clear();
    RunToPage(0, {Act::Type(kIdcName, name), Act::Next()});
    EXPECT_EQ(Current(), kDlgShortcut);
    EXPECT_EQ(Boxes(), (std::vector<SimMessageBox>{{kBadName, u"Ejectra", 0}}));
    EXPECT_EQ(Text(kIdcName), name);
    EXPECT_TRUE(Written().empty());
  }
}

TEST_F(ShortcutPageTest, EmptyOrDotsAndBlanksName_Says12001AndStays) {
  for (const char16_t* name : {u"", u".", u"...", u" . "}) {
    SCOPED_TRACE(std::u16string(name).size());
    process->messageBoxes.clear();
    RunToPage(0, {Act::Type(kIdcName, name), Act::Next()});
    EXPECT_EQ(Current(), kDlgShortcut);
    EXPECT_EQ(Boxes(), (std::vector<SimMessageBox>{
                           {u"ショートカットの作成に失敗しました。", u"Ejectra", 0x10}}));
    EXPECT_EQ(Text(kIdcName), name);
    EXPECT_TRUE(Written().empty());
  }
}

TEST_F(ShortcutPageTest, NameWithInnerDots_IsWritten) {
  RunToPage(0, {Act::Type(kIdcName, u"USB 2.0 Disk"), Act::Next()});
  ASSERT_EQ(Written().size(), 1u);
  EXPECT_EQ(Written()[0].name, u"USB 2.0 Disk");
}

TEST_F(ShortcutPageTest, WriteFails_ClosesTheWizard) {
  FailNextShortcutWrite();
  EXPECT_EQ(RunToPage(0, {Act::Next()}), 0);
  EXPECT_EQ(frame->end, platform::sim::SimWizardEnd::kClosed);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, u"ショートカットの作成に失敗しました。");
}

TEST_F(ShortcutPageTest, IconPicked_ShownAndKeptForAnotherDrive) {
  ui.pick = std::pair{std::u16string(u"C:\\Icons\\drives.dll"), 3};
  RunToPage(0, {Act::ClickButton(kIdcChangeIcon), Act::Back(), Act::ClickRow(kIdcDriveList, 1),
                Act::Next(), Act::Next()});
  EXPECT_TRUE(Called("PickIcon page 176 C:\\Program Files\\Ejectra\\Ejectra.exe 0"));
  EXPECT_TRUE(Called("ShowIcon page 176 1008 C:\\Icons\\drives.dll 3"));
  ASSERT_EQ(Written().size(), 1u);
  EXPECT_EQ(Written()[0].drive, 6);
  EXPECT_EQ(Written()[0].name, u"Fドライブ 取り外し");
  EXPECT_EQ(Written()[0].iconPath, u"C:\\Icons\\drives.dll");
  EXPECT_EQ(Written()[0].iconIndex, 3);
}

TEST_F(ShortcutPageTest, IconPickerCancelled_KeepsTheIcon) {
  RunToPage(0, {Act::ClickButton(kIdcChangeIcon), Act::Next()});
  EXPECT_EQ(std::count_if(ui.calls.begin(), ui.calls.end(),
                          [](const std::string& call) { return call.starts_with("ShowIcon"); }),
            1);
  ASSERT_EQ(Written().size(), 1u);
  EXPECT_EQ(Written()[0].iconPath, kTarget);
  EXPECT_EQ(Written()[0].iconIndex, 0);
}

TEST_F(ShortcutPageTest, ReturnedTo_TypedTextGivesWayToTheDefaults) {
  RunToPage(0, {Act::Type(kIdcName, u"mine"), Act::Type(kIdcComment, u"note"), Act::Back(),
                Act::ClickRow(kIdcDriveList, 0), Act::Next()});
  EXPECT_EQ(Current(), kDlgShortcut);
  EXPECT_EQ(Text(kIdcName), u"Eドライブ 取り外し");
  EXPECT_EQ(Text(kIdcComment),
            u"SanDisk Cruzer Blade USB Device (USB 大容量記憶装置) を取り外します。");
}

}  // namespace
}  // namespace ejectra::testing
