// The simulated windows and wizard frame: that they behave as user32 and
// the property sheet's wizard mode do where the pages depend on it.
#include "platform/sim/sim_windows.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/sim_process.h"

namespace ejectra::platform::sim {
namespace {

using Act = SimUserAction;

// A page whose hooks do what the test says and answer the framework's
// defaults otherwise.
class TestPage final : public WizardPage {
 public:
  TestPage(int dialog, bool hideHeader = false) : dialog_(dialog), hideHeader_(hideHeader) {}

  std::function<void(WindowHandle)> init;
  std::function<bool(WindowHandle)> setActive;
  std::function<std::intptr_t(WindowHandle)> next;
  std::function<bool(WindowHandle)> finish;
  std::vector<int> commands;
  std::vector<int> clicks;

  Resources Describe() const override {
    return {dialog_, dialog_ * 10, dialog_ * 10 + 1, dialog_ * 10 + 2, hideHeader_};
  }
  void OnInitDialog(WindowHandle page) override {
    if (init) init(page);
  }
  bool OnSetActive(WindowHandle page) override { return setActive ? setActive(page) : true; }
  std::intptr_t OnWizardNext(WindowHandle page) override {
    return next ? next(page) : kNextInOrder;
  }
  bool OnWizardFinish(WindowHandle page) override { return finish ? finish(page) : true; }
  void OnCommand(WindowHandle, int id) override { commands.push_back(id); }
  void OnClick(WindowHandle, int id) override { clicks.push_back(id); }

 private:
  int dialog_;
  bool hideHeader_;
};

class SimWizardFrameTest : public ::testing::Test {
 protected:
  SimWizardFrameTest() {
    for (std::uint32_t id : {10u, 20u, 30u}) {
      process.strings[id] = u"caption " + std::u16string(1, static_cast<char16_t>(u'0' + id / 10));
      process.strings[id + 1] = u"title";
      process.strings[id + 2] = u"subtitle";
    }
  }

  std::intptr_t Run(std::vector<Act> script, const SystemCommandHandler& onSystemCommand = {}) {
    frame.script = std::move(script);
    return frame.RunWizard({&a, &b, &c}, onSystemCommand);
  }
  // Posts PSM_SETWIZBUTTONS to the page's frame, as a page does.
  void Buttons(WindowHandle page, std::uint32_t flags) {
    windows.PostMessageW(windows.GetParent(page), kPsmSetWizButtons, 0,
                         static_cast<std::intptr_t>(flags));
  }
  std::vector<int> Shown() const {
    std::vector<int> dialogs;
    for (const SimShownPage& page : frame.shown) dialogs.push_back(page.dialog);
    return dialogs;
  }

  SimWorld world;
  SimProcess process{world};
  SimWindows windows{world};
  SimWizardFrame frame{world, windows, process};
  TestPage a{1, /*hideHeader=*/true};
  TestPage b{2};
  TestPage c{3};
};

TEST_F(SimWizardFrameTest, FirstActivation_InitsOnceThenSetsActiveEachTime) {
  Run({Act::Next(), Act::Back(), Act::Next()});
  EXPECT_EQ(frame.hooks, (std::vector<std::string>{
                             "1 OnInitDialog", "1 OnSetActive", "1 OnWizardNext", "2 OnInitDialog",
                             "2 OnSetActive", "1 OnSetActive", "1 OnWizardNext", "2 OnSetActive"}));
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 1, 2}));
  EXPECT_EQ(world.calls.Details("OnSetActive"),
            (std::vector<std::string>{"page 1", "page 2", "page 1", "page 2"}));
}

TEST_F(SimWizardFrameTest, SetActiveRefused_PassesOverInDirectionOfTravel) {
  b.setActive = [](WindowHandle) { return false; };
  Run({Act::Next(), Act::Back()});
  EXPECT_EQ(Shown(), (std::vector<int>{1, 3, 1}));
  // The page's window is made, and initialised, even when it is passed over.
  EXPECT_NE(frame.PageWindow(2), 0u);
  EXPECT_EQ(frame.hooks[3], "2 OnInitDialog");
  EXPECT_EQ(frame.hooks[4], "2 OnSetActive");
}

TEST_F(SimWizardFrameTest, SetActiveRefusedOnLastPage_ShowsItAllTheSame) {
  c.setActive = [](WindowHandle) { return false; };
  Run({Act::Next(), Act::Next()});
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SimWizardFrameTest, NextAnswersTemplate_JumpsThereAndBackGoesToPreviousInOrder) {
  a.next = [](WindowHandle) -> std::intptr_t { return 3; };
  Run({Act::Next(), Act::Back()});
  EXPECT_EQ(Shown(), (std::vector<int>{1, 3, 2}));
}

TEST_F(SimWizardFrameTest, NextAnswersStay_NoPageIsActivated) {
  a.next = [](WindowHandle) { return WizardPage::kStay; };
  Run({Act::Next()});
  EXPECT_EQ(frame.hooks,
            (std::vector<std::string>{"1 OnInitDialog", "1 OnSetActive", "1 OnWizardNext"}));
  EXPECT_EQ(frame.Current(), 1);
}

TEST_F(SimWizardFrameTest, NextAnswersUnknownTemplate_Stays) {
  a.next = [](WindowHandle) -> std::intptr_t { return 99; };
  Run({Act::Next()});
  EXPECT_EQ(Shown(), (std::vector<int>{1}));
}

TEST_F(SimWizardFrameTest, ButtonsPostedInHook_TakeEffectAfterHookReturns) {
  bool backDuringHook = false;
  a.setActive = [&](WindowHandle page) {
    Buttons(page, kPswizbNext);
    backDuringHook = windows.Item(windows.GetParent(page), SimWizardFrame::kBackButton).enabled;
    return true;
  };
  Run({});
  EXPECT_TRUE(backDuringHook) << "the posted state came before the hook returned";
  EXPECT_EQ(frame.steps[0].buttons, (SimWizardButtons{false, true, false, true}));
}

TEST_F(SimWizardFrameTest, DisabledButtonPressed_IsRefused) {
  a.setActive = [&](WindowHandle page) {
    Buttons(page, kPswizbNext);
    return true;
  };
  Run({Act::Next(), Act::Back()});
  ASSERT_EQ(frame.steps.size(), 3u);
  EXPECT_FALSE(frame.steps[1].refused);
  EXPECT_TRUE(frame.steps[2].refused);
  EXPECT_EQ(frame.steps[2].page, 2);
}

TEST_F(SimWizardFrameTest, FinishAsked_TakesThePlaceOfNextAndCloses) {
  a.init = [&](WindowHandle page) { Buttons(page, kPswizbFinish | kPswizbNext); };
  EXPECT_EQ(Run({Act::Next(), Act::Finish(), Act::Back()}), 1);
  EXPECT_EQ(frame.steps[0].buttons, (SimWizardButtons{false, false, true, true}));
  EXPECT_TRUE(frame.steps[1].refused);  // Next is hidden
  EXPECT_FALSE(frame.steps[2].refused);
  EXPECT_TRUE(frame.steps[3].refused);  // nobody is there any more
  EXPECT_EQ(frame.end, SimWizardEnd::kFinished);
  EXPECT_EQ(frame.steps[2].page, 0);
  EXPECT_TRUE(windows.Window(frame.PageWindow(1)).destroyed);
  EXPECT_EQ(windows.GetDlgItem(frame.PageWindow(1), 5), 0u);
}

TEST_F(SimWizardFrameTest, FinishHookRefuses_StaysOpen) {
  a.init = [&](WindowHandle page) { Buttons(page, kPswizbFinish); };
  a.finish = [](WindowHandle) { return false; };
  EXPECT_EQ(Run({Act::Finish()}), -1);
  EXPECT_EQ(frame.end, SimWizardEnd::kOpen);
  EXPECT_EQ(frame.Current(), 1);
}

TEST_F(SimWizardFrameTest, WmClosePosted_ClosesAfterTheHook) {
  a.next = [&](WindowHandle page) {
    windows.PostMessageW(windows.GetParent(page), kWmClose, 0, 0);
    return WizardPage::kStay;
  };
  EXPECT_EQ(Run({Act::Next(), Act::Next()}), 0);
  EXPECT_EQ(frame.end, SimWizardEnd::kClosed);
  EXPECT_EQ(Shown(), (std::vector<int>{1}));
  EXPECT_TRUE(frame.steps[2].refused);
}

TEST_F(SimWizardFrameTest, Cancel_ClosesAtOnceWithoutAHook) {
  EXPECT_EQ(Run({Act::Cancel()}), 0);
  EXPECT_EQ(frame.end, SimWizardEnd::kCancelled);
  EXPECT_EQ(frame.hooks, (std::vector<std::string>{"1 OnInitDialog", "1 OnSetActive"}));
}

TEST_F(SimWizardFrameTest, CancelDisabled_IsRefused) {
  a.init = [&](WindowHandle page) {
    windows.EnableWindow(windows.GetDlgItem(windows.GetParent(page), kIdCancel), false);
  };
  EXPECT_EQ(Run({Act::Cancel()}), -1);
  EXPECT_TRUE(frame.steps[1].refused);
  EXPECT_FALSE(frame.steps[1].buttons.cancel);
}

TEST_F(SimWizardFrameTest, PageShown_TitleIsItsCaptionAndHeaderOnlyOnInteriorPages) {
  Run({Act::Next()});
  ASSERT_EQ(frame.shown.size(), 2u);
  EXPECT_EQ(frame.shown[0].title, u"caption 1");
  EXPECT_EQ(frame.shown[0].headerTitle, u"");
  EXPECT_EQ(frame.shown[1].title, u"caption 2");
  EXPECT_EQ(frame.shown[1].headerTitle, u"title");
  EXPECT_EQ(frame.shown[1].headerSubtitle, u"subtitle");
  EXPECT_EQ(windows.Window(frame.FrameWindow()).text, u"caption 2");
}

TEST_F(SimWizardFrameTest, RowClickedWithMouse_SelectsThenNotifies) {
  a.init = [&](WindowHandle page) {
    const WindowHandle list = windows.GetDlgItem(page, 7);
    windows.ListView_InsertItem(list, 0, u"x");
    windows.ListView_InsertItem(list, 1, u"y");
  };
  Run({Act::ClickRow(7, 1)});
  EXPECT_EQ(a.clicks, std::vector<int>{7});
  EXPECT_EQ(windows.Item(frame.PageWindow(1), 7).selected, 1);
}

TEST_F(SimWizardFrameTest, RowSelectedWithKeys_SelectsWithoutNotifying) {
  a.init = [&](WindowHandle page) {
    windows.ListView_InsertItem(windows.GetDlgItem(page, 7), 0, u"x");
  };
  Run({Act::SelectRow(7, 0), Act::SelectRow(7, 1)});
  EXPECT_TRUE(a.clicks.empty());
  EXPECT_EQ(windows.Item(frame.PageWindow(1), 7).selected, 0);
  EXPECT_TRUE(frame.steps[2].refused) << "there is no second row";
}

TEST_F(SimWizardFrameTest, EmptyPartOfListClicked_ClearsSelectionAndNotifies) {
  a.init = [&](WindowHandle page) {
    windows.ListView_InsertItem(windows.GetDlgItem(page, 7), 0, u"x");
  };
  Run({Act::ClickRow(7, 0), Act::ClickEmpty(7)});
  EXPECT_EQ(a.clicks, (std::vector<int>{7, 7}));
  EXPECT_EQ(windows.Item(frame.PageWindow(1), 7).selected, -1);
}

TEST_F(SimWizardFrameTest, DisabledControlClicked_IsRefused) {
  a.init = [&](WindowHandle page) { windows.EnableWindow(windows.GetDlgItem(page, 5), false); };
  Run({Act::ClickButton(5), Act::ClickButton(6)});
  EXPECT_TRUE(frame.steps[1].refused);
  EXPECT_EQ(a.commands, std::vector<int>{6});
}

TEST_F(SimWizardFrameTest, TextTyped_CutAtTheEditsLimit) {
  a.init = [&](WindowHandle page) { windows.Edit_LimitText(windows.GetDlgItem(page, 8), 3); };
  Run({Act::Type(8, u"abcdef")});
  EXPECT_EQ(windows.GetDlgItemTextW(frame.PageWindow(1), 8), u"abc");
}

TEST_F(SimWizardFrameTest, RadioClicked_CheckedAloneInItsGroupAndNotifies) {
  a.init = [&](WindowHandle page) { windows.CheckRadioButton(page, 40, 42, 40); };
  Run({Act::ClickRadio(42, 40, 42)});
  const WindowHandle page = frame.PageWindow(1);
  EXPECT_EQ(windows.IsDlgButtonChecked(page, 40), 0u);
  EXPECT_EQ(windows.IsDlgButtonChecked(page, 42), kBstChecked);
  EXPECT_EQ(a.commands, std::vector<int>{42});
}

TEST_F(SimWizardFrameTest, SystemMenuItemChosen_GoesToTheProgramsHandler) {
  std::vector<std::uint32_t> commands;
  Run({Act::SystemMenu(0x0013)}, [&](WindowHandle window, std::uint32_t command) {
    EXPECT_EQ(window, frame.FrameWindow());
    commands.push_back(command);
    return true;
  });
  EXPECT_EQ(commands, std::vector<std::uint32_t>{0x0013});  // as the system sent it
  EXPECT_EQ(world.calls.Details("User"), std::vector<std::string>{"system menu 0x0013"});
}

TEST_F(SimWizardFrameTest, ScriptRunsOut_WizardStaysOpenWithItsWindows) {
  EXPECT_EQ(Run({Act::Next()}), -1);
  EXPECT_EQ(frame.end, SimWizardEnd::kOpen);
  EXPECT_FALSE(windows.Window(frame.PageWindow(2)).destroyed);
}

// --- SimWindows ------------------------------------------------------------------

class SimWindowsTest : public ::testing::Test {
 protected:
  SimWorld world;
  SimWindows windows{world};
  WindowHandle frame = windows.Create(0, 0);
  WindowHandle page = windows.Create(frame, 176);
};

TEST_F(SimWindowsTest, CheckRadioButton_ChecksOnlyTheOneAskedInTheRange) {
  windows.Item(page, 1012).checked = true;  // outside the group
  windows.Item(page, 1010).checked = true;
  EXPECT_TRUE(windows.CheckRadioButton(page, 1010, 1011, 1011));
  EXPECT_EQ(windows.IsDlgButtonChecked(page, 1010), 0u);
  EXPECT_EQ(windows.IsDlgButtonChecked(page, 1011), kBstChecked);
  EXPECT_EQ(windows.IsDlgButtonChecked(page, 1012), kBstChecked);
}

TEST_F(SimWindowsTest, LockWindowUpdate_OneWindowAtATime) {
  const WindowHandle list = windows.GetDlgItem(page, 1002);
  EXPECT_TRUE(windows.LockWindowUpdate(list));
  EXPECT_FALSE(windows.LockWindowUpdate(page));
  EXPECT_EQ(windows.Locked(), list);
  EXPECT_TRUE(windows.LockWindowUpdate(0));
  EXPECT_EQ(windows.Locked(), 0u);
}

TEST_F(SimWindowsTest, ListViewInsertItem_PastTheEndAppendsAndSelectionFollowsItsRow) {
  const WindowHandle list = windows.GetDlgItem(page, 1002);
  EXPECT_EQ(windows.ListView_InsertItem(list, 5, u"E:"), 0);
  windows.Item(page, 1002).selected = 0;
  EXPECT_EQ(windows.ListView_InsertItem(list, 0, u"C:"), 0);
  EXPECT_EQ(windows.ListView_InsertItem(list, -1, u"X:"), -1);
  EXPECT_EQ(windows.ListView_GetNextItem(list, -1, kLvniSelected), 1);
  EXPECT_EQ(windows.ListView_GetNextItem(list, 1, kLvniSelected), -1);
  EXPECT_TRUE(windows.ListView_SetItemText(list, 1, 2, u"desc"));
  EXPECT_FALSE(windows.ListView_SetItemText(list, 2, 1, u"no such row"));
  EXPECT_EQ(windows.ListView_GetItemText(list, 1, 0), u"E:");
  EXPECT_EQ(windows.ListView_GetItemText(list, 1, 2), u"desc");
  EXPECT_EQ(windows.ListView_GetItemText(list, 1, 1), u"");
}

TEST_F(SimWindowsTest, PlannedFailure_FailsTheCallWithTheCodeAsLastError) {
  world.calls.Fail("GetDlgItem", 1400);
  EXPECT_EQ(windows.GetDlgItem(page, 1002), 0u);
  EXPECT_EQ(world.lastError, 1400u);
  EXPECT_NE(windows.GetDlgItem(page, 1002), 0u);
}

TEST_F(SimWindowsTest, DestroyedWindow_CallsOnItAndItsControlsFail) {
  const WindowHandle edit = windows.GetDlgItem(page, 1007);
  windows.Destroy(frame);
  EXPECT_FALSE(windows.SetDlgItemTextW(page, 1007, u"x"));
  EXPECT_FALSE(windows.EnableWindow(edit, false));
  EXPECT_TRUE(windows.Window(edit).enabled);
  EXPECT_FALSE(windows.PostMessageW(frame, kWmClose, 0, 0));
}

TEST_F(SimWindowsTest, Calls_LoggedWithTheWindowTheyActOn) {
  windows.SetDlgItemTextW(page, 1007, u"Eドライブ");
  windows.EnableWindow(windows.GetDlgItem(frame, kIdCancel), false);
  windows.PostMessageW(frame, kPsmSetWizButtons, 0, 3);
  EXPECT_EQ(world.calls.Details("SetDlgItemTextW"),
            std::vector<std::string>{"176:1007 \"Eドライブ\""});
  EXPECT_EQ(world.calls.Details("EnableWindow"), std::vector<std::string>{"frame:2 off"});
  EXPECT_EQ(world.calls.Details("PostMessageW"), std::vector<std::string>{"frame 0x0470 0 3"});
}

}  // namespace
}  // namespace ejectra::platform::sim
