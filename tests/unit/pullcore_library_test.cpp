#include <gtest/gtest.h>

#include "platform/types.h"
#include "shared/pullcore_library.h"
#include "tests/support/tool_fixture.h"

namespace ejectra {
namespace {

using namespace platform;
using namespace platform::sim;
using namespace testing;
using testing::ToolTest;

class PullcoreLibraryTest : public ToolTest {
 protected:
  void SetUp() override { process->programPath = std::u16string(kProgramFolder) + u"\\Ejectra.exe"; }
  std::vector<std::string> Loads() const { return world->calls.Details("LoadLibraryW"); }
  std::unique_ptr<CPullcoreLibrary> Bind(bool load = true) {
    return std::make_unique<CPullcoreLibrary>(process->Services(), load);
  }
};

TEST_F(PullcoreLibraryTest, LoadsFromTheProgramsFolderByWholePath) {
  const auto library = Bind();
  EXPECT_TRUE(library->IsLoaded());
  EXPECT_EQ(Loads(), std::vector<std::string>{"C:\\Program Files\\Ejectra\\PULLCORE.DLL"});
  std::u16string name, description;
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 1);
  EXPECT_EQ(name, u"SanDisk Cruzer Blade USB Device");
  EXPECT_EQ(description, u"USB 大容量記憶装置");
}

TEST_F(PullcoreLibraryTest, FallsBackToTheSystemFolderAndNeverToTheSearchPath) {
  const std::vector<std::string> tried = {"D:\\elsewhere\\PULLCORE.DLL",
                                          "C:\\Windows\\system32\\PULLCORE.DLL"};
  process->programPath = u"D:\\elsewhere\\Ejectra.exe";
  InstallPullcore(u"PULLCORE.DLL");  // planted in the current folder
  EXPECT_FALSE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), tried);

  world->calls.Clear();
  InstallPullcore(u"C:\\Windows\\system32\\PULLCORE.DLL");
  EXPECT_TRUE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), tried);
}

// A folder that cannot be had is passed over: nothing is ever asked for at
// the root of the current drive ("\PULLCORE.DLL") or by its bare name.
TEST_F(PullcoreLibraryTest, FolderThatCannotBeHad_IsPassedOver) {
  InstallPullcore(u"C:\\Windows\\system32\\PULLCORE.DLL");
  world->calls.Fail("GetModuleFileNameW", kErrorNotEnoughMemory);
  EXPECT_TRUE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), std::vector<std::string>{"C:\\Windows\\system32\\PULLCORE.DLL"});

  world->calls.Clear();
  world->calls.Fail("GetSystemDirectoryW", kErrorNotEnoughMemory);
  process->programPath = u"D:\\elsewhere\\Ejectra.exe";
  EXPECT_FALSE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), std::vector<std::string>{"D:\\elsewhere\\PULLCORE.DLL"});

  world->calls.Clear();
  world->calls.Fail("GetModuleFileNameW", kErrorNotEnoughMemory);
  world->calls.Fail("GetSystemDirectoryW", kErrorNotEnoughMemory);
  EXPECT_FALSE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), std::vector<std::string>{});
}

TEST_F(PullcoreLibraryTest, TruncatedPaths_ArePassedOver) {
  // 32,768 characters: the program's path is cut, the system folder's does not fit.
  process->programPath = u"C:\\" + std::u16string(32765, u'p');
  process->systemDirectory = u"C:\\" + std::u16string(32765, u's');
  InstallPullcore(process->programPath.substr(0, 32766) + u"\\PULLCORE.DLL");
  EXPECT_FALSE(Bind()->IsLoaded());
  EXPECT_EQ(Loads(), std::vector<std::string>{});
}

TEST_F(PullcoreLibraryTest, MissingLibrary_AnswersZeroWithoutCallingAnything) {
  process->programPath = u"D:\\elsewhere\\Ejectra.exe";
  const auto library = Bind();
  EXPECT_FALSE(library->IsLoaded());
  std::u16string name = u"n", description = u"d";
  EXPECT_EQ(library->IsRemovableHardwareDrive(5), 0);
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 0);
  EXPECT_EQ(library->RemoveHardwareDrive(5), 0);
  EXPECT_EQ(name, u"n");
  EXPECT_EQ(description, u"d");
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(PullcoreLibraryTest, NotLoading_CallsNothingAtAll) {
  EXPECT_FALSE(Bind(false)->IsLoaded());
  EXPECT_TRUE(Loads().empty());
}

TEST_F(PullcoreLibraryTest, ResolutionStopsAtTheFirstMissingExport) {
  UseMachine(SampleMachine());
  process->programPath = std::u16string(kProgramFolder) + u"\\Ejectra.exe";
  InstallPullcore(kLibraryPath, kExportIsRemovableEx | kExportRemove);
  auto library = Bind();
  std::u16string name, description;
  EXPECT_TRUE(library->IsLoaded());
  EXPECT_EQ(library->IsRemovableHardwareDrive(5), 0);
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 0);
  EXPECT_EQ(library->RemoveHardwareDrive(5), 0);
  library.reset();

  InstallPullcore(kLibraryPath, kExportIsRemovable | kExportIsRemovableEx);
  library = Bind();
  EXPECT_EQ(library->IsRemovableHardwareDrive(5), 1);
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 1);
  EXPECT_EQ(library->RemoveHardwareDrive(5), 0);
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(PullcoreLibraryTest, NamesOf256CharactersDoNotFit) {
  MachineBuilder b;
  b.AddUsbStick(u'E', std::u16string(255, u'n'));
  b.AddUsbStick(u'F', std::u16string(256, u'n'));
  UseMachine(b.Build());
  process->programPath = std::u16string(kProgramFolder) + u"\\Ejectra.exe";
  const auto library = Bind();
  std::u16string name, description;
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 1);
  EXPECT_EQ(name.size(), 255u);
  name = u"untouched";
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(6, name, description), 0);
  EXPECT_EQ(name, u"untouched");
}

TEST_F(PullcoreLibraryTest, DestructionUnloads) {
  auto library = Bind();
  EXPECT_TRUE(process->Loaded(kLibraryPath));
  library.reset();
  EXPECT_FALSE(process->Loaded(kLibraryPath));
}

}  // namespace
}  // namespace ejectra
