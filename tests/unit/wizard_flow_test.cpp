// The wizard's page flow on the sample machine: titles, the buttons each
// page leaves, the two modes of the method page, the more-or-quit page,
// the finish page, Cancel and the About box.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/wizard_fixture.h"
#include "wizard/page_ids.h"

namespace ejectra::testing {
namespace {

using namespace wizard::ids;
using platform::sim::SimWizardEnd;

const Act kManual = Act::ClickRadio(kIdcManual, kIdcAutomatic, kIdcManual);
const Act kClickFirstDrive = Act::ClickRow(kIdcDriveList, 0);

TEST_F(WizardTest, Titles_WelcomeToMethodAndBack_FollowTheShownPage) {
  Run({Act::Next(), Act::Next(), Act::Back()});
  EXPECT_EQ(Shown(), (std::vector<int>{kDlgWelcome, kDlgConnectDrives, kDlgProcessSelection,
                                       kDlgConnectDrives}));
  ASSERT_EQ(frame->shown.size(), 4u);
  EXPECT_EQ(frame->shown[0].title, u"Ejectra - ショートカット作成ウィザード");
  EXPECT_EQ(frame->shown[1].title, u"Ejectra - ドライブの接続");
  EXPECT_EQ(frame->shown[2].title, u"Ejectra - ショートカット作成方法の選択");
  EXPECT_EQ(frame->shown[3].title, u"Ejectra - ドライブの接続");
  // The welcome page is an exterior page: no header strip.
  EXPECT_EQ(frame->shown[0].headerTitle, u"");
  EXPECT_EQ(frame->shown[1].headerTitle, u"ドライブの接続");
  EXPECT_EQ(frame->shown[1].headerSubtitle, u"USBやIEEE1394接続のドライブを接続します。");
}

TEST_F(WizardTest, WelcomePage_Shown_OnlyNextWithBoldTitle) {
  Run({});
  EXPECT_EQ(Last().buttons, kOnlyNext);
  EXPECT_EQ(ui.calls, std::vector<std::string>{"SetBoldTitleFont page 16 1021"});
}

TEST_F(WizardTest, WelcomePage_ReturnedToWithBack_OnlyNextAgain) {
  Run({Act::Next(), Act::Back()});
  EXPECT_EQ(frame->steps[1].buttons, kBackNext);
  EXPECT_EQ(Current(), kDlgWelcome);
  EXPECT_EQ(Last().buttons, kOnlyNext);
}

TEST_F(WizardTest, WelcomePage_DetailsClicked_OpensAboutBoxOverTheWizard) {
  Run({Act::ClickButton(kIdcDetails)});
  EXPECT_EQ(ui.calls.back(), "RunAboutBox frame");
  EXPECT_EQ(Current(), kDlgWelcome);
}

// The system keeps the low four bits of a command for itself: the About item
// is 0x0010 whatever they hold.
TEST_F(WizardTest, Sheet_SystemMenuAboutItemOnAnyPage_OpensAboutBox) {
  Run({Act::SystemMenu(0x0010), Act::Next(), Act::Next(), Act::SystemMenu(0x001F),
       Act::SystemMenu(0x0110), Act::SystemMenu(0xF020)});  // SC_MINIMIZE is not ours
  EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "RunAboutBox frame"), 2);
  EXPECT_EQ(Current(), kDlgProcessSelection);
}

TEST_F(WizardTest, MethodPage_FirstVisit_AutomaticCheckedWithBackAndNext) {
  Run({Act::Next(), Act::Next()});
  EXPECT_EQ(Last().buttons, kBackNext);
  EXPECT_TRUE(Control(kDlgProcessSelection, kIdcAutomatic).checked);
  EXPECT_FALSE(Control(kDlgProcessSelection, kIdcManual).checked);
}

TEST_F(WizardTest, MethodPage_ManualChosenThenBackFromDriveList_KeepsManual) {
  Run({Act::Next(), Act::Next(), kManual, Act::Next(), Act::Back()});
  EXPECT_EQ(Shown(), (std::vector<int>{kDlgWelcome, kDlgConnectDrives, kDlgProcessSelection,
                                       kDlgSelectDrive, kDlgProcessSelection}));
  EXPECT_FALSE(Control(kDlgProcessSelection, kIdcAutomatic).checked);
  EXPECT_TRUE(Control(kDlgProcessSelection, kIdcManual).checked);
}

TEST_F(WizardTest, MethodPage_ManualChosenThenRevisited_KeepsManual) {
  Run({Act::Next(), Act::Next(), kManual, Act::Back(), Act::Next()});
  EXPECT_EQ(Current(), kDlgProcessSelection);
  EXPECT_TRUE(Control(kDlgProcessSelection, kIdcManual).checked);
  EXPECT_EQ(world->calls.Count("CheckRadioButton"), 1u) << "the default was set again";
}

TEST_F(WizardTest, MethodPage_AutomaticWithShortcutsWritten_GoesStraightToFinish) {
  Run({Act::Next(), Act::Next(), Act::Next()});
  EXPECT_EQ(Shown(), (std::vector<int>{kDlgWelcome, kDlgConnectDrives, kDlgProcessSelection,
                                       kDlgFinish}));
  ASSERT_EQ(Written().size(), 4u);  // E:, F:, H: and J:
  EXPECT_EQ(Written()[0], (WrittenShortcut{5, u"Eドライブ 取り外し",
                                        u"SanDisk Cruzer Blade USB Device (USB 大容量記憶装置) を取り外します。",
                                        kTarget, 0}));
  EXPECT_EQ(Last().buttons, kOnlyFinish);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WizardTest, MethodPage_AutomaticWithoutCoreLibrary_ClosesWizardSilently) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_EQ(Run({Act::Next(), Act::Next(), Act::Next(), Act::Next()}), 0);
  EXPECT_EQ(frame->end, SimWizardEnd::kClosed);
  EXPECT_EQ(Shown(), (std::vector<int>{kDlgWelcome, kDlgConnectDrives, kDlgProcessSelection}));
  EXPECT_TRUE(Last().refused);
  EXPECT_TRUE(Written().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WizardTest, MethodPage_AutomaticWithNoRemovableDrive_SaysSoThenCloses) {
  process->logicalDrives = 1u << 2;  // C: alone
  EXPECT_EQ(Run({Act::Next(), Act::Next(), Act::Next()}), 0);
  EXPECT_EQ(frame->end, SimWizardEnd::kClosed);
  EXPECT_EQ(Boxes(), (std::vector<platform::sim::SimMessageBox>{
                         {u"取り外し可能なドライブが見つかりませんでした。", u"Ejectra", 0}}));
}

TEST_F(WizardTest, MethodPage_AutomaticWriteFails_ClosesWizard) {
  FailNextShortcutWrite();
  EXPECT_EQ(Run({Act::Next(), Act::Next(), Act::Next()}), 0);
  EXPECT_EQ(frame->end, SimWizardEnd::kClosed);
  EXPECT_EQ(Current(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, u"ショートカットの作成に失敗しました。");
}

TEST_F(WizardTest, MethodPage_NeitherChoiceChecked_Stays) {
  Prepare();
  frame->script = {Act::Next(), Act::Next(), Act::Next()};
  // The user cannot clear both radio buttons; a group that lost its check can.
  world->calls.On("OnWizardNext", 2, [&] {
    windows->Item(frame->PageWindow(kDlgProcessSelection), kIdcAutomatic).checked = false;
  });
  sheet->Run(*frame);
  EXPECT_EQ(Current(), kDlgProcessSelection);
  EXPECT_TRUE(Written().empty());
}

TEST_F(WizardTest, FinishPage_Reached_OnlyFinishAndCancelRefused) {
  EXPECT_EQ(Run({Act::Next(), Act::Next(), Act::Next(), Act::Cancel(), Act::Finish()}), 1);
  EXPECT_EQ(frame->steps[3].buttons, kOnlyFinish);
  EXPECT_TRUE(frame->steps[4].refused);
  EXPECT_FALSE(frame->steps[5].refused);
  EXPECT_EQ(frame->end, SimWizardEnd::kFinished);
  EXPECT_EQ(frame->shown.back().title,
            u"Ejectra - ショートカット作成ウィザードのご利用ありがとうございました");
  EXPECT_EQ(frame->shown.back().headerTitle, u"");
  EXPECT_EQ(ui.calls.back(), "SetBoldTitleFont page 156 1021");
  EXPECT_EQ(world->calls.Details("EnableWindow"), std::vector<std::string>{"frame:2 off"});
}

TEST_F(WizardTest, ConfirmMorePage_FirstVisit_QuitCheckedWithOnlyNext) {
  Run({Act::Next(), Act::Next(), kManual, Act::Next(), kClickFirstDrive, Act::Next(),
       Act::Next()});
  EXPECT_EQ(Current(), kDlgConfirmMore);
  EXPECT_EQ(Last().buttons, kOnlyNext);
  EXPECT_TRUE(Control(kDlgConfirmMore, kIdcQuit).checked);
  EXPECT_FALSE(Control(kDlgConfirmMore, kIdcBackToDriveList).checked);
}

TEST_F(WizardTest, ConfirmMorePage_QuitKept_NextGoesToFinish) {
  Run({Act::Next(), Act::Next(), kManual, Act::Next(), kClickFirstDrive, Act::Next(),
       Act::Next(), Act::Next()});
  EXPECT_EQ(Current(), kDlgFinish);
  EXPECT_EQ(Last().buttons, kOnlyFinish);
}

TEST_F(WizardTest, ConfirmMorePage_ChoiceChanged_KeptOnTheNextVisit) {
  const Act more = Act::ClickRadio(kIdcBackToDriveList, kIdcBackToDriveList, kIdcQuit);
  Run({Act::Next(), Act::Next(), kManual, Act::Next(), kClickFirstDrive, Act::Next(),
       Act::Next(), more, Act::Next(), Act::ClickRow(kIdcDriveList, 1), Act::Next(),
       Act::Next()});
  EXPECT_EQ(Current(), kDlgConfirmMore);
  EXPECT_TRUE(Control(kDlgConfirmMore, kIdcBackToDriveList).checked);
  EXPECT_FALSE(Control(kDlgConfirmMore, kIdcQuit).checked);
  ASSERT_EQ(Written().size(), 2u);
  EXPECT_EQ(Written()[1].drive, 6);
}

TEST_F(WizardTest, DriveListPage_BackWhenReachedFromConfirmMore_GoesToMethodPage) {
  const Act more = Act::ClickRadio(kIdcBackToDriveList, kIdcBackToDriveList, kIdcQuit);
  Run({Act::Next(), Act::Next(), kManual, Act::Next(), kClickFirstDrive, Act::Next(),
       Act::Next(), more, Act::Next(), Act::Back()});
  const std::vector<int> shown = Shown();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[shown.size() - 2], kDlgSelectDrive);
  EXPECT_EQ(shown.back(), kDlgProcessSelection);
}

TEST_F(WizardTest, Wizard_CancelOnInteriorPage_ClosesAtOnce) {
  EXPECT_EQ(Run({Act::Next(), Act::Next(), Act::Cancel()}), 0);
  EXPECT_EQ(frame->end, SimWizardEnd::kCancelled);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Written().empty());
}

}  // namespace
}  // namespace ejectra::testing
