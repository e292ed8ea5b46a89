#include <gtest/gtest.h>

#include <array>

#include "platform/owners.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_shell.h"
#include "platform/text.h"

namespace ejectra::platform::sim {
namespace {

constexpr char16_t kDocument[] = u"C:\\Users\\user\\Documents\\report.txt";

TEST(SimShellFolders, FileAttributes_AnswerFilesAndTheFoldersTheyLieIn) {
  SimWorld world;
  SimShellFolders shell(world);
  world.files[kDocument] = std::string("figures");
  EXPECT_EQ(shell.GetFileAttributesW(u"c:\\users\\USER\\documents\\REPORT.TXT"), kFileAttributeArchive);
  for (const char16_t* folder : {u"C:\\Users\\user\\Documents", u"C:\\Users\\user\\Desktop\\",
                                 u"C:\\Users\\user", u"C:\\", u"c:\\users"}) {
    EXPECT_EQ(shell.GetFileAttributesW(folder), kFileAttributeDirectory);
  }
  for (const char16_t* missing : {u"C:\\Users\\user\\Documents\\report", u"C:\\Users\\us",
                                  u"C:\\Users\\user\\Desktop\\a.lnk", u""}) {
    world.lastError = 0;
    EXPECT_EQ(shell.GetFileAttributesW(missing), kInvalidFileAttributes);
    EXPECT_EQ(world.lastError, kErrorFileNotFound);
  }
  world.calls.Fail("GetFileAttributesW", kErrorAccessDenied);
  EXPECT_EQ(shell.GetFileAttributesW(kDocument), kInvalidFileAttributes);
  EXPECT_EQ(world.lastError, kErrorAccessDenied);
}

TEST(SimShellFolders, DesktopLocation_NamesTheWorldsDesktopUntilFreed) {
  SimWorld world;
  SimShellFolders shell(world);
  ItemIdList list = 0;
  ASSERT_EQ(shell.SHGetSpecialFolderLocation(0, kCsidlDesktopDirectory, &list), kSOk);
  EXPECT_EQ(shell.LiveIdLists(), 1u);
  std::array<char16_t, kMaxPath> path{};
  ASSERT_TRUE(shell.SHGetPathFromIDListW(list, path.data()));
  EXPECT_EQ(TextUpToNul(path.data(), path.size()), u"C:\\Users\\user\\Desktop");
  shell.ILFree(list);
  EXPECT_EQ(shell.LiveIdLists(), 0u);
  EXPECT_FALSE(shell.SHGetPathFromIDListW(list, path.data()));
}

TEST(SimShellFolders, DesktopLocation_FailsAsPlannedOrForOtherFolders) {
  SimWorld world;
  SimShellFolders shell(world);
  ItemIdList list = 7;
  world.calls.Fail("SHGetSpecialFolderLocation", 0x80004005);
  EXPECT_EQ(shell.SHGetSpecialFolderLocation(0, kCsidlDesktopDirectory, &list), kEFail);
  EXPECT_EQ(list, ItemIdList{0});
  EXPECT_EQ(shell.SHGetSpecialFolderLocation(0, 0x05, &list), kEInvalidArg);  // CSIDL_PERSONAL
  EXPECT_EQ(shell.LiveIdLists(), 0u);
}

TEST(SimShellLink, NotInstalled_IsNotRegistered) {
  SimWorld world;
  SimProcess process(world);
  ComPtr<IShellLinkWMirror> link;
  EXPECT_EQ(process.CoCreateInstance(kClsidShellLink, kClsctxAll, kIidIShellLinkW, link.put_void()),
            kRegdbEClassNotReg);
  EXPECT_FALSE(link);
}

TEST(SimShellLink, Installed_IsAnInprocServerInBothViews) {
  SimWorld world;
  InstallSimShellLink(world);
  for (const RegistryView view : {RegistryView::k64, RegistryView::k32}) {
    world.processView = view;
    SimProcess process(world);
    ComPtr<IShellLinkWMirror> link;
    EXPECT_EQ(process.CoCreateInstance(kClsidShellLink, kClsctxInprocServer, kIidIShellLinkW,
                                       link.put_void()),
              kSOk);
    EXPECT_TRUE(link);
  }
}

// A shell-link object of an installed class, with both its faces.
class SimShellLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallSimShellLink(world);
    ASSERT_EQ(process.CoCreateInstance(kClsidShellLink, kClsctxAll, kIidIShellLinkW, link.put_void()), kSOk);
    ASSERT_EQ(link->QueryInterface(kIidIPersistFile, file.put_void()), kSOk);
  }

  SimWorld world;
  SimProcess process{world};
  ComPtr<IShellLinkWMirror> link;
  ComPtr<IPersistFileMirror> file;
};

TEST_F(SimShellLinkTest, Save_WritesWhatTheSettersGave) {
  EXPECT_EQ(link->SetIDList(0x1234), kSOk);
  EXPECT_EQ(link->SetPath(u"C:\\t.exe"), kSOk);
  EXPECT_EQ(link->SetArguments(u"E:"), kSOk);
  EXPECT_EQ(link->SetWorkingDirectory(u"C:\\w"), kSOk);
  EXPECT_EQ(link->SetIconLocation(u"C:\\i.ico", 3), kSOk);
  EXPECT_EQ(link->SetDescription(u"d"), kSOk);
  EXPECT_EQ(link->SetHotkey(0x0641), kSOk);
  EXPECT_EQ(link->SetShowCmd(7), kSOk);
  EXPECT_EQ(file->Save(u"C:\\x.lnk", 1), kSOk);
  const SimShortcut saved{u"C:\\t.exe", u"E:", u"C:\\w", u"C:\\i.ico", 3, u"d", 0x0641, 7, 0x1234};
  EXPECT_EQ(world.files.at(u"C:\\x.lnk"), SimFile{saved});
  EXPECT_EQ(world.calls.Details("IShellLinkW::SetIconLocation"), std::vector<std::string>{"C:\\i.ico,3"});
  EXPECT_EQ(world.calls.Details("IShellLinkW::SetHotkey"), std::vector<std::string>{"1601"});
}

TEST_F(SimShellLinkTest, PlannedFailures_ChangeNothing) {
  world.calls.Fail("IShellLinkW::SetPath", 0x80004005);
  EXPECT_EQ(link->SetPath(u"C:\\t.exe"), kEFail);
  world.calls.Fail("IPersistFile::Save", 0x80070005);
  EXPECT_EQ(file->Save(u"C:\\x.lnk", 1), static_cast<Hresult>(0x80070005));
  EXPECT_TRUE(world.files.empty());
  EXPECT_EQ(file->Save(u"C:\\x.lnk", 1), kSOk);
  EXPECT_EQ(std::get<SimShortcut>(world.files.at(u"C:\\x.lnk")).target, u"");
}

TEST_F(SimShellLinkTest, BothFaces_ShareOneObjectUntilTheLastRelease) {
  ComPtr<IShellLinkWMirror> again;
  ASSERT_EQ(file->QueryInterface(kIidIShellLinkW, again.put_void()), kSOk);
  EXPECT_EQ(again.get(), link.get());
  void* other = &world;
  EXPECT_EQ(link->QueryInterface(kGuidDevInterfaceDisk, &other), kENoInterface);
  EXPECT_EQ(other, nullptr);
  file.reset();
  again.reset();
  link.reset();
  EXPECT_EQ(world.calls.Details("IPersistFile::Release"), std::vector<std::string>{"2"});
  EXPECT_EQ(world.calls.Details("IShellLinkW::Release"), (std::vector<std::string>{"1", "0"}));
}

}  // namespace
}  // namespace ejectra::platform::sim
