// The drive list page on the sample machine: its rows, its columns, and
// when Next is enabled and where it leads.
#include <gtest/gtest.h>

#include "tests/support/wizard_fixture.h"
#include "wizard/page_ids.h"

namespace ejectra::testing {
namespace {

using namespace wizard::ids;
using platform::sim::SimListColumn;
using platform::sim::SimWindow;

class DriveListTest : public WizardTest {
 protected:
  // Welcome, Connect, the manual choice, and on to the drive list, then `more`.
  std::intptr_t RunToList(std::vector<Act> more = {}) {
    std::vector<Act> script = {Act::Next(), Act::Next(),
                               Act::ClickRadio(kIdcManual, kIdcAutomatic, kIdcManual),
                               Act::Next()};
    script.insert(script.end(), more.begin(), more.end());
    return Run(std::move(script));
  }
  SimWindow& List() { return Control(kDlgSelectDrive, kIdcDriveList); }
};

TEST_F(DriveListTest, Shown_ListsRemovableDrivesInLetterOrder) {
  RunToList();
  const SimWindow& list = List();
  ASSERT_EQ(list.rows.size(), 4u);
  struct Expected {
    const char16_t* letter;
    std::intptr_t drive;
    const char16_t* name;
    const char16_t* description;
  };
  const Expected expected[] = {
      {u"E:", 5, u"SanDisk Cruzer Blade USB Device", u"USB 大容量記憶装置"},
      {u"F:", 6, u"Generic- SD/MMC USB Device", u"USB 大容量記憶装置"},
      {u"H:", 8, u"WD My Passport 25E2 SCSI Disk Device", u"USB 接続 SCSI (UAS) マス ストレージ デバイス"},
      {u"J:", 10, u"", u"ディスク ドライブ"},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.rows[i].text, expected[i].letter);
    EXPECT_EQ(list.rows[i].param, expected[i].drive);
    const auto sub = [&](int item) {
      const auto it = list.rows[i].subItems.find(item);
      return it == list.rows[i].subItems.end() ? std::u16string(u"(unset)") : it->second;
    };
    EXPECT_EQ(sub(1), expected[i].name);
    EXPECT_EQ(sub(2), expected[i].description);
  }
  EXPECT_EQ(list.selected, -1);
}

TEST_F(DriveListTest, Initialised_FullRowSelectAndThreeLeftColumns) {
  Prepare();
  frame->script = {Act::Next(), Act::Next(),
                   Act::ClickRadio(kIdcManual, kIdcAutomatic, kIdcManual), Act::Next()};
  // A style the template gave the list stays.
  world->calls.On("ListView_GetExtendedListViewStyle", 0, [&] {
    windows->Item(frame->PageWindow(kDlgSelectDrive), kIdcDriveList).extendedStyle = 0x4;
  });
  sheet->Run(*frame);
  EXPECT_EQ(List().extendedStyle, 0x24u);
  EXPECT_EQ(List().columns, (std::vector<SimListColumn>{
                                {u"ドライブ", 0, 50}, {u"デバイス名", 0, 240}, {u"説明", 0, 180}}));
}

TEST_F(DriveListTest, Initialised_At144Dpi_ColumnsWiderByHalf) {
  Prepare();
  ui.dpi = 144;
  frame->script = {Act::Next(), Act::Next(),
                   Act::ClickRadio(kIdcManual, kIdcAutomatic, kIdcManual), Act::Next()};
  sheet->Run(*frame);
  EXPECT_EQ(List().columns, (std::vector<SimListColumn>{
                                {u"ドライブ", 0, 75}, {u"デバイス名", 0, 360}, {u"説明", 0, 270}}));
}

TEST_F(DriveListTest, Filled_WhileTheListIsLocked) {
  RunToList();
  EXPECT_EQ(world->calls.Sequence({"LockWindowUpdate", "ListView_InsertItem"}),
            (std::vector<std::string>{"LockWindowUpdate", "ListView_InsertItem",
                                      "ListView_InsertItem", "ListView_InsertItem",
                                      "ListView_InsertItem", "LockWindowUpdate"}));
  EXPECT_EQ(world->calls.Details("LockWindowUpdate"),
            (std::vector<std::string>{"178:1002", "none"}));
  EXPECT_EQ(windows->Locked(), 0u);
}

TEST_F(DriveListTest, Shown_OnlyBackEnabled) {
  RunToList();
  EXPECT_EQ(Current(), kDlgSelectDrive);
  EXPECT_EQ(Last().buttons, kOnlyBack);
}

TEST_F(DriveListTest, RowClickedWithMouse_EnablesNext) {
  RunToList({Act::ClickRow(kIdcDriveList, 2)});
  EXPECT_EQ(Last().buttons, kBackNext);
}

TEST_F(DriveListTest, RowSelectedWithKeyboard_NextStaysDisabled) {
  RunToList({Act::SelectRow(kIdcDriveList, 1), Act::Next()});
  EXPECT_EQ(List().selected, 1);
  EXPECT_EQ(Last().buttons, kOnlyBack);
  EXPECT_TRUE(Last().refused);
  EXPECT_EQ(Current(), kDlgSelectDrive);
}

TEST_F(DriveListTest, EmptyPartClickedAfterRow_NextStaysEnabledButNextStays) {
  RunToList({Act::ClickRow(kIdcDriveList, 0), Act::ClickEmpty(kIdcDriveList), Act::Next()});
  const auto& steps = frame->steps;
  EXPECT_EQ(steps[steps.size() - 2].buttons, kBackNext);
  EXPECT_FALSE(Last().refused);
  EXPECT_EQ(Current(), kDlgSelectDrive);
  EXPECT_TRUE(sheet->m_arrDriveItems.empty());
}

TEST_F(DriveListTest, CoreLibraryMissing_ListEmptyAndNextStaysDisabled) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  RunToList({Act::ClickEmpty(kIdcDriveList), Act::Next()});
  EXPECT_TRUE(List().rows.empty());
  EXPECT_EQ(frame->steps[frame->steps.size() - 2].buttons, kOnlyBack);
  EXPECT_TRUE(Last().refused);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DriveListTest, LibraryLoadedForTheScanOnly) {
  RunToList();
  EXPECT_FALSE(process->Loaded(kLibraryPath));
  EXPECT_EQ(world->calls.Count("LoadLibraryW"), world->calls.Count("FreeLibrary"));
}

TEST_F(DriveListTest, ShownAgain_ListRebuiltWithNothingSelected) {
  RunToList({Act::ClickRow(kIdcDriveList, 0), Act::Back(), Act::Next()});
  EXPECT_EQ(Current(), kDlgSelectDrive);
  EXPECT_EQ(List().rows.size(), 4u);
  EXPECT_EQ(List().selected, -1);
  EXPECT_EQ(Last().buttons, kOnlyBack);
}

TEST_F(DriveListTest, NextWithRowClicked_HandsThatDriveToTheSheet) {
  RunToList({Act::ClickRow(kIdcDriveList, 1), Act::Next()});
  EXPECT_EQ(Current(), kDlgShortcut);
  EXPECT_EQ(sheet->m_arrDriveItems,
            (std::vector<wizard::CDriveItem>{
                {6, u"Generic- SD/MMC USB Device", u"USB 大容量記憶装置"}}));
}

TEST_F(DriveListTest, NextAgainWithAnotherRow_ReplacesTheDrive) {
  RunToList({Act::ClickRow(kIdcDriveList, 1), Act::Next(), Act::Back(),
             Act::ClickRow(kIdcDriveList, 3), Act::Next()});
  ASSERT_EQ(sheet->m_arrDriveItems.size(), 1u);
  EXPECT_EQ(sheet->m_arrDriveItems[0].drive, 10);
  EXPECT_EQ(sheet->m_arrDriveItems[0].description, u"ディスク ドライブ");
}

}  // namespace
}  // namespace ejectra::testing
