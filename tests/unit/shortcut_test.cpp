#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/utf.h"
#include "platform/text.h"
#include "tests/support/shortcut_fixture.h"
#include "tests/support/sim_pullcore.h"
#include "wizard/message_table.h"
#include "wizard/shortcut.h"

namespace ejectra::wizard {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::ShortcutAt;
using testing::ShortcutTest;

constexpr std::uint32_t kRefused = 0x80004005;  // E_FAIL
constexpr char16_t kComment[] = u"SanDisk Cruzer Blade USB Device (USB 大容量記憶装置) を取り外します。";
const std::u16string kStickFile = std::u16string(ShortcutTest::kDesktop) + u"\\Stick.lnk";

const SimMessageBox kFailedBox{u"ショートカットの作成に失敗しました。", u"Ejectra", kMbIconError};
const SimMessageBox kForbiddenBox{u"ショートカット名に / : * ? \"< > | は使えません。", u"Ejectra",
                                  kMbIconError};

std::u16string OnDesktop(std::u16string_view name) {
  return std::u16string(ShortcutTest::kDesktop) + u"\\" + std::u16string(name);
}

// --- The install folder -------------------------------------------------------

class InstallDirectoryTest : public ShortcutTest {
 protected:
  std::u16string Read() { return GetInstallDirectory(machine->Services().registry); }
};

TEST_F(InstallDirectoryTest, RegSz_IsTakenAsItStands) {
  EXPECT_EQ(Read(), u"C:\\Program Files\\Ejectra\\");  // the trailing backslash kept
}

TEST_F(InstallDirectoryTest, ExpandSz_IsNotExpanded) {
  SetInstallValue(kRegExpandSz, EncodeUtf16le(u"%ProgramFiles%\\Ejectra", true));
  EXPECT_EQ(Read(), u"%ProgramFiles%\\Ejectra");
}

TEST_F(InstallDirectoryTest, OtherType_IsEmpty) {
  SetInstallValue(kRegDword, {1, 0, 0, 0});
  EXPECT_EQ(Read(), u"");
  SetInstallValue(kRegBinary, EncodeUtf16le(u"C:\\Ejectra", true));
  EXPECT_EQ(Read(), u"");
  SetInstallValue(7, EncodeUtf16le(std::u16string(u"C:\\Ejectra\0", 11), true));  // REG_MULTI_SZ
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, MissingValueOrKey_IsEmpty) {
  world->machine.registry.Find(kHkeyLocalMachine, u"SOFTWARE\\Lumenfold\\Ejectra")->values.clear();
  EXPECT_EQ(Read(), u"");
  world->machine.registry.Find(kHkeyLocalMachine, u"SOFTWARE")->subkeys.clear();
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, OddSize_IsEmpty) {
  std::vector<std::uint8_t> data = EncodeUtf16le(u"C:\\Ejectra", true);
  data.push_back(0);
  SetInstallValue(kRegSz, data);
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, NoTerminator_IsEmpty) {
  SetInstallValue(kRegSz, EncodeUtf16le(u"C:\\Ejectra", false));
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, NoData_IsEmpty) {
  SetInstallValue(kRegSz, {});
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, TerminatorAlone_IsEmpty) {
  SetInstallValue(kRegSz, {0, 0});
  EXPECT_EQ(Read(), u"");
}

TEST_F(InstallDirectoryTest, InnerNul_EndsTheText) {
  SetInstallValue(kRegSz, EncodeUtf16le(std::u16string(u"C:\\A\0B", 6), true));
  EXPECT_EQ(Read(), u"C:\\A");
}

TEST_F(InstallDirectoryTest, RegistryFailures_AreEmptyAndCloseTheKey) {
  world->calls.Fail("RegOpenKeyExW", kErrorAccessDenied);
  EXPECT_EQ(Read(), u"");
  world->calls.Fail("RegQueryValueExW", kErrorAccessDenied);
  EXPECT_EQ(Read(), u"");
  world->calls.Fail("RegQueryValueExW", kErrorMoreData, /*skip=*/1);  // it grew meanwhile
  EXPECT_EQ(Read(), u"");
  EXPECT_EQ(Read(), u"C:\\Program Files\\Ejectra\\");
}

// --- The desktop folder -------------------------------------------------------

class DesktopDirectoryTest : public ShortcutTest {
 protected:
  bool Get() { return GetDesktopDirectory(*shell, kOwner, path); }
  std::u16string path = u"as it was";
};

TEST_F(DesktopDirectoryTest, Found_IsTheUsersDesktopAndItsListIsFreed) {
  world->desktopFolder = u"D:\\Profiles\\佐藤\\デスクトップ";
  EXPECT_TRUE(Get());
  EXPECT_EQ(path, u"D:\\Profiles\\佐藤\\デスクトップ");
  EXPECT_EQ(world->calls.Details("SHGetSpecialFolderLocation"), std::vector<std::string>{"16"});
  EXPECT_EQ(world->calls.Count("ILFree"), 1u);
}

TEST_F(DesktopDirectoryTest, LocationFails_LeavesThePathAsItWas) {
  world->calls.Fail("SHGetSpecialFolderLocation", kRefused);
  EXPECT_FALSE(Get());
  EXPECT_EQ(path, u"as it was");
}

TEST_F(DesktopDirectoryTest, PathFails_LeavesThePathAsItWasAndFreesTheList) {
  world->calls.Fail("SHGetPathFromIDListW", 1);
  EXPECT_FALSE(Get());
  EXPECT_EQ(path, u"as it was");
  EXPECT_EQ(world->calls.Count("ILFree"), 1u);
}

// --- The link object ----------------------------------------------------------

class CShortcutTest : public ShortcutTest {
 protected:
  CShortcutTest() { info.targetPath = kTarget; }
  CShortcutInfo info;
  Com& com = process->Services().com;
};

TEST_F(CShortcutTest, IdListSet_IsGivenInsteadOfThePath) {
  info.idList = 0x1234;
  CShortcut shortcut(info);
  ASSERT_TRUE(shortcut.Initialize(com));
  ASSERT_TRUE(shortcut.Save(kStickFile));
  EXPECT_TRUE(shortcut.IsCreated());
  EXPECT_EQ(world->calls.Count("IShellLinkW::SetPath"), 0u);
  EXPECT_EQ(world->calls.Details("IShellLinkW::SetIDList"), std::vector<std::string>{"4660"});
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->idList, ItemIdList{0x1234});
}

TEST_F(CShortcutTest, NotInitialized_SavesNothing) {
  CShortcut shortcut(info);
  EXPECT_FALSE(shortcut.Save(kStickFile));
  EXPECT_FALSE(shortcut.IsCreated());
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CShortcutTest, SaveRefused_IsNotCreated) {
  world->calls.Fail("IPersistFile::Save", kRefused);
  CShortcut shortcut(info);
  ASSERT_TRUE(shortcut.Initialize(com));
  EXPECT_FALSE(shortcut.Save(kStickFile));
  EXPECT_FALSE(shortcut.IsCreated());
}

// --- One shortcut -------------------------------------------------------------

class CreateDriveShortcutTest : public ShortcutTest {
 protected:
  bool Create(std::u16string_view name, const std::u16string* iconPath = nullptr,
              int iconIndex = 0, int drive = 5) {
    return CreateDriveShortcut(Os(), kOwner, drive, name, kComment, iconPath, iconIndex);
  }
};

TEST_F(CreateDriveShortcutTest, Written_HoldsEveryField) {
  ASSERT_TRUE(Create(u"Stick"));
  EXPECT_TRUE(Boxes().empty());
  const SimShortcut* link = ShortcutAt(*world, kStickFile);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->target, kTarget);
  EXPECT_EQ(link->arguments, u"E:");
  EXPECT_EQ(link->workingDirectory, kInstallDirectory);
  EXPECT_EQ(link->iconPath, kTarget);
  EXPECT_EQ(link->iconIndex, 0);
  EXPECT_EQ(link->description, kComment);
  EXPECT_EQ(link->hotkey, 0);
  EXPECT_EQ(link->showCommand, kSwShow);
  EXPECT_EQ(link->idList, ItemIdList{0});
  EXPECT_EQ(world->files.size(), 1u);
}

TEST_F(CreateDriveShortcutTest, Written_SetsEachPropertyOnceInOrderThenSaves) {
  ASSERT_TRUE(Create(u"Stick"));
  EXPECT_EQ(world->calls.Details("CoCreateInstance"),
            std::vector<std::string>{"{00021401-0000-0000-C000-000000000046}"});
  EXPECT_EQ(world->calls.Sequence({"IShellLinkW::SetPath", "IShellLinkW::SetIDList",
                                   "IShellLinkW::SetWorkingDirectory", "IShellLinkW::SetIconLocation",
                                   "IShellLinkW::SetDescription", "IShellLinkW::SetArguments",
                                   "IShellLinkW::SetHotkey", "IShellLinkW::SetShowCmd",
                                   "IPersistFile::Save"}),
            (std::vector<std::string>{"IShellLinkW::SetPath", "IShellLinkW::SetWorkingDirectory",
                                      "IShellLinkW::SetIconLocation", "IShellLinkW::SetDescription",
                                      "IShellLinkW::SetArguments", "IShellLinkW::SetHotkey",
                                      "IShellLinkW::SetShowCmd", "IPersistFile::Save"}));
  EXPECT_EQ(world->calls.Details("IPersistFile::Save"), std::vector<std::string>{Utf16ToUtf8(kStickFile)});
}

TEST_F(CreateDriveShortcutTest, Written_ReleasesPersistFileBeforeTheLink) {
  ASSERT_TRUE(Create(u"Stick"));
  EXPECT_EQ(world->calls.Sequence({"IPersistFile::Release", "IShellLinkW::Release"}),
            (std::vector<std::string>{"IPersistFile::Release", "IShellLinkW::Release"}));
  EXPECT_EQ(world->calls.Details("IShellLinkW::Release"), std::vector<std::string>{"0"});
}

TEST_F(CreateDriveShortcutTest, DriveNumber_BecomesTheLetterArgument) {
  ASSERT_TRUE(Create(u"A", nullptr, 0, 1));
  ASSERT_TRUE(Create(u"Z", nullptr, 0, 26));
  EXPECT_EQ(ShortcutAt(*world, OnDesktop(u"A.lnk"))->arguments, u"A:");
  EXPECT_EQ(ShortcutAt(*world, OnDesktop(u"Z.lnk"))->arguments, u"Z:");
}

TEST_F(CreateDriveShortcutTest, NoSuchDrive_Shows12001AndWritesNothing) {
  EXPECT_FALSE(Create(u"Stick", nullptr, 0, 0));
  EXPECT_FALSE(Create(u"Stick", nullptr, 0, 27));
  EXPECT_EQ(Boxes(), (std::vector<SimMessageBox>{kFailedBox, kFailedBox}));
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, GivenIcon_IsUsedWithItsIndex) {
  const std::u16string icon = u"C:\\Icons\\usb.ico";
  ASSERT_TRUE(Create(u"Stick", &icon, 3));
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconPath, icon);
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconIndex, 3);
  EXPECT_EQ(world->calls.Details("IShellLinkW::SetIconLocation"),
            std::vector<std::string>{"C:\\Icons\\usb.ico,3"});
}

TEST_F(CreateDriveShortcutTest, GivenEmptyIconPath_IsUsedAsGiven) {
  const std::u16string none;
  ASSERT_TRUE(Create(u"Stick", &none, 2));
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconPath, u"");
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconIndex, 2);
}

TEST_F(CreateDriveShortcutTest, NoIconGiven_TakesTheTargetWithTheIndex) {
  ASSERT_TRUE(Create(u"Stick", nullptr, 4));
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconPath, kTarget);
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->iconIndex, 4);
}

TEST_F(CreateDriveShortcutTest, NoInstallDirectory_TargetsTheBareProgramWithNoWorkingDirectory) {
  SetInstallValue(kRegDword, {1, 0, 0, 0});
  ASSERT_TRUE(Create(u"Dword"));
  world->machine.registry.Find(kHkeyLocalMachine, u"SOFTWARE\\Lumenfold\\Ejectra")->values.clear();
  ASSERT_TRUE(Create(u"Missing"));
  for (const char16_t* name : {u"Dword.lnk", u"Missing.lnk"}) {
    const SimShortcut* link = ShortcutAt(*world, OnDesktop(name));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->target, u"Ejectra.exe");
    EXPECT_EQ(link->iconPath, u"Ejectra.exe");
    EXPECT_EQ(link->workingDirectory, u"");
  }
}

TEST_F(CreateDriveShortcutTest, InstallDirectory_IsReadForTargetAndAgainForWorkingDirectory) {
  world->calls.Fail("RegOpenKeyExW", kErrorFileNotFound, /*skip=*/1);
  ASSERT_TRUE(Create(u"Stick"));
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->target, kTarget);
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->workingDirectory, u"");
}

TEST_F(CreateDriveShortcutTest, ForbiddenCharacter_Shows11001AndWritesNothing) {
  for (const char16_t c : std::u16string(u"\\/:*?\"<>|")) {
    process->messageBoxes.clear();
    EXPECT_FALSE(Create(std::u16string(u"E") + c + u"F"));
    EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kForbiddenBox}) << static_cast<int>(c);
  }
  EXPECT_EQ(world->calls.Count("CoCreateInstance"), 0u);
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, EmptyOrOnlyDotsAndBlanks_Shows12001AndWritesNothing) {
  world->files[OnDesktop(u"keep.txt")] = std::string("a user's file");
  for (const char16_t* name : {u"", u".", u"..", u"...", u" ", u" . "}) {
    process->messageBoxes.clear();
    EXPECT_FALSE(Create(name));
    EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  }
  EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 0u);
  EXPECT_EQ(world->files.size(), 1u);
}

TEST_F(CreateDriveShortcutTest, JoinReachingMaxPath_Shows12001AndWritesNothing) {
  const std::size_t room = kMaxPath - 1 - std::u16string_view(kDesktop).size() - 1;
  EXPECT_FALSE(Create(std::u16string(room + 1, u'n')));
  EXPECT_FALSE(Create(std::u16string(room + 40, u'n')));
  EXPECT_EQ(Boxes(), (std::vector<SimMessageBox>{kFailedBox, kFailedBox}));
  EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 0u);
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, ClassNotCreatable_Shows12001) {
  world->calls.Fail("CoCreateInstance", static_cast<std::uint32_t>(kRegdbEClassNotReg));
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, ClassNotInstalled_Shows12001) {
  for (const RegistryView view : {RegistryView::k64, RegistryView::k32}) {
    world->machine.registry.Find(kHkeyClassesRoot, u"CLSID", view)->subkeys.erase(FormatGuid(kClsidShellLink));
  }
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, NoPersistFile_Shows12001AndReleasesTheLink) {
  world->calls.Fail("IShellLinkW::QueryInterface", static_cast<std::uint32_t>(kENoInterface));
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_EQ(world->calls.Details("IShellLinkW::Release"), std::vector<std::string>{"0"});
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, AnyPropertyRefused_Shows12001AndSavesNothing) {
  const std::vector<std::string> setters = {
      "IShellLinkW::SetPath",        "IShellLinkW::SetWorkingDirectory",
      "IShellLinkW::SetIconLocation", "IShellLinkW::SetDescription",
      "IShellLinkW::SetArguments",   "IShellLinkW::SetHotkey",
      "IShellLinkW::SetShowCmd"};
  for (std::size_t refused = 0; refused < setters.size(); ++refused) {
    world->calls.Clear();
    process->messageBoxes.clear();
    world->calls.Fail(setters[refused], kRefused);
    EXPECT_FALSE(Create(u"Stick")) << setters[refused];
    EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
    // Nothing after the refused one is asked.
    for (std::size_t later = refused + 1; later < setters.size(); ++later) {
      EXPECT_EQ(world->calls.Count(setters[later]), 0u) << setters[later] << " after " << setters[refused];
    }
    EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 0u);
    EXPECT_EQ(world->calls.Details("IShellLinkW::Release"), std::vector<std::string>{"0"});
  }
  EXPECT_TRUE(world->files.empty());
}

TEST_F(CreateDriveShortcutTest, SaveFails_Shows12001) {
  world->calls.Fail("IPersistFile::Save", 0x80070005);  // E_ACCESSDENIED
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_TRUE(world->files.empty());
  EXPECT_EQ(world->calls.Details("IShellLinkW::Release"), std::vector<std::string>{"0"});
}

TEST_F(CreateDriveShortcutTest, UsersFileOfThatName_IsNeverReplaced) {
  world->files[OnDesktop(u"report.txt")] = std::string("quarterly figures");
  world->files[OnDesktop(u"STICK.OLD")] = std::string("an old stick's notes");
  EXPECT_FALSE(Create(u"report.txt"));
  EXPECT_FALSE(Create(u"Stick.old"));
  EXPECT_EQ(Boxes(), (std::vector<SimMessageBox>{kFailedBox, kFailedBox}));
  EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 0u);
  EXPECT_EQ(world->files.at(OnDesktop(u"report.txt")), SimFile{std::string("quarterly figures")});
  EXPECT_EQ(world->files.at(OnDesktop(u"Stick.old")), SimFile{std::string("an old stick's notes")});
  EXPECT_EQ(world->files.size(), 2u);
}

TEST_F(CreateDriveShortcutTest, FolderOfThatName_IsNeverReplaced) {
  world->files[OnDesktop(u"Stick.lnk\\inside.txt")] = std::string("kept");
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_EQ(world->files.size(), 1u);
}

TEST_F(CreateDriveShortcutTest, ExistingShortcut_IsReplacedSilently) {
  SimShortcut old;
  old.target = u"C:\\Old\\Ejectra.exe";
  world->files[OnDesktop(u"Stick.LNK")] = old;
  world->files[OnDesktop(u"Typed.LnK")] = std::string("not a link inside");
  ASSERT_TRUE(Create(u"Stick"));
  ASSERT_TRUE(Create(u"Typed.lNk"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ShortcutAt(*world, kStickFile)->target, kTarget);
  ASSERT_NE(ShortcutAt(*world, OnDesktop(u"typed.lnk")), nullptr);
  EXPECT_EQ(world->files.size(), 2u);
}

TEST_F(CreateDriveShortcutTest, DesktopUnknown_WritesNothingAndSays12001) {
  // Without the desktop folder the bare name would land in the current folder.
  world->calls.Fail("SHGetSpecialFolderLocation", kRefused);
  EXPECT_FALSE(Create(u"Stick"));
  EXPECT_EQ(ShortcutAt(*world, u"Stick.lnk"), nullptr);
  EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 0u);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, u"ショートカットの作成に失敗しました。");
  EXPECT_EQ(Boxes()[0].style, 0x10u);
}

// --- A shortcut for every removable drive --------------------------------------

class AllDrivesTest : public ShortcutTest {
 protected:
  bool CreateAll() { return CreateShortcutsForAllDrives(Os(), kOwner); }
};

TEST_F(AllDrivesTest, SampleMachine_WritesOneShortcutPerRemovableDrive) {
  ASSERT_TRUE(CreateAll());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(world->files.size(), 4u);
  const struct {
    const char16_t* file;
    const char16_t* arguments;
    const char16_t* description;
  } expected[] = {
      {u"Eドライブ 取り外し.lnk", u"E:", kComment},
      {u"Fドライブ 取り外し.lnk", u"F:", u"Generic- SD/MMC USB Device (USB 大容量記憶装置) を取り外します。"},
      {u"Hドライブ 取り外し.lnk", u"H:",
       u"WD My Passport 25E2 SCSI Disk Device (USB 接続 SCSI (UAS) マス ストレージ デバイス) を取り外します。"},
      {u"Jドライブ 取り外し.lnk", u"J:", u" (ディスク ドライブ) を取り外します。"},
  };
  for (const auto& drive : expected) {
    const SimShortcut* link = ShortcutAt(*world, OnDesktop(drive.file));
    ASSERT_NE(link, nullptr) << Utf16ToUtf8(drive.file);
    EXPECT_EQ(link->target, kTarget);
    EXPECT_EQ(link->arguments, drive.arguments);
    EXPECT_EQ(link->description, drive.description);
    EXPECT_EQ(link->iconPath, kTarget);
    EXPECT_EQ(link->iconIndex, 0);
    EXPECT_EQ(link->workingDirectory, kInstallDirectory);
  }
  EXPECT_FALSE(process->Loaded(kLibraryPath));
}

TEST_F(AllDrivesTest, EnglishTable_NamesAndDescribesInEnglishWordOrder) {
  process->strings = wizard::EnglishWizardMessageTable();
  ASSERT_TRUE(CreateAll());
  const SimShortcut* link = ShortcutAt(*world, OnDesktop(u"Remove drive E.lnk"));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->description, u"Removes SanDisk Cruzer Blade USB Device (USB 大容量記憶装置).");
  EXPECT_NE(ShortcutAt(*world, OnDesktop(u"Remove drive J.lnk")), nullptr);
}

TEST_F(AllDrivesTest, SecondOfThreeFails_StopsKeepsTheFirstAndAsksNoFurther) {
  process->logicalDrives = (1u << 2) | (1u << 4) | (1u << 5) | (1u << 7);  // C: E: F: H:
  world->calls.Fail("IPersistFile::Save", kRefused, /*skip=*/1);
  EXPECT_FALSE(CreateAll());
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{kFailedBox});
  EXPECT_EQ(world->calls.Count("IPersistFile::Save"), 2u);
  EXPECT_EQ(world->files.size(), 1u);
  EXPECT_NE(ShortcutAt(*world, OnDesktop(u"Eドライブ 取り外し.lnk")), nullptr);
  // Each drive is asked about just before its shortcut; H: never is.
  const std::string ex = "IsRemovableHardwareDriveExW ";
  EXPECT_EQ(testing::PullcoreCalls(*world), (std::vector<std::string>{ex + "3", ex + "5", ex + "6"}));
}

TEST_F(AllDrivesTest, NoRemovableDrive_Shows11002) {
  process->logicalDrives = 1u << 2;  // C: alone
  EXPECT_FALSE(CreateAll());
  const SimMessageBox noDrive{u"取り外し可能なドライブが見つかりませんでした。", u"Ejectra", kMbOk};
  EXPECT_EQ(Boxes(), std::vector<SimMessageBox>{noDrive});
  EXPECT_TRUE(world->files.empty());
}

TEST_F(AllDrivesTest, WithoutTheLibrary_FailsWithoutAMessage) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_FALSE(CreateAll());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(world->files.empty());
}

}  // namespace
}  // namespace ejectra::wizard
