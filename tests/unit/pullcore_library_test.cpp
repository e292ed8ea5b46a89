#include <gtest/gtest.h>

#include "shared/pullcore_library.h"
#include "tests/support/tool_fixture.h"

namespace ejectra {
namespace {

using namespace platform::sim;
using testing::ToolTest;

class PullcoreLibraryTest : public ToolTest {
 protected:
  void SetUp() override { process->programPath = std::u16string(kProgramFolder) + u"\\Ejectra.exe"; }
  std::unique_ptr<CPullcoreLibrary> Bind(bool load = true) {
    return std::make_unique<CPullcoreLibrary>(*process, *process, load);
  }
};

TEST_F(PullcoreLibraryTest, LoadsFromTheProgramsFolderByWholePath) {
  const auto library = Bind();
  EXPECT_TRUE(library->IsLoaded());
  EXPECT_EQ(process->libraryLoads, std::vector<std::u16string>{kLibraryPath});
  std::u16string name, description;
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 1);
  EXPECT_EQ(name, u"SanDisk Cruzer Blade USB Device");
  EXPECT_EQ(description, u"USB 大容量記憶装置");
}

TEST_F(PullcoreLibraryTest, FallsBackToTheSystemFolderAndNeverToTheSearchPath) {
  const std::vector<std::u16string> tried = {u"D:\\elsewhere\\PULLCORE.DLL",
                                             u"C:\\Windows\\system32\\PULLCORE.DLL"};
  process->programPath = u"D:\\elsewhere\\Ejectra.exe";
  process->InstallPullcore(u"PULLCORE.DLL");  // planted in the current folder
  EXPECT_FALSE(Bind()->IsLoaded());
  EXPECT_EQ(process->libraryLoads, tried);

  process->libraryLoads.clear();
  process->InstallPullcore(tried[1]);
  EXPECT_TRUE(Bind()->IsLoaded());
  EXPECT_EQ(process->libraryLoads, tried);
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
  EXPECT_TRUE(machine->Record().ejectRequests.empty());
}

TEST_F(PullcoreLibraryTest, NotLoading_CallsNothingAtAll) {
  EXPECT_FALSE(Bind(false)->IsLoaded());
  EXPECT_TRUE(process->libraryLoads.empty());
}

TEST_F(PullcoreLibraryTest, ResolutionStopsAtTheFirstMissingExport) {
  UseMachine(SampleMachine());
  process->programPath = std::u16string(kProgramFolder) + u"\\Ejectra.exe";
  process->InstallPullcore(kLibraryPath, kExportIsRemovableEx | kExportRemove);
  auto library = Bind();
  std::u16string name, description;
  EXPECT_TRUE(library->IsLoaded());
  EXPECT_EQ(library->IsRemovableHardwareDrive(5), 0);
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 0);
  EXPECT_EQ(library->RemoveHardwareDrive(5), 0);
  library.reset();

  process->InstallPullcore(kLibraryPath, kExportIsRemovable | kExportIsRemovableEx);
  library = Bind();
  EXPECT_EQ(library->IsRemovableHardwareDrive(5), 1);
  EXPECT_EQ(library->IsRemovableHardwareDriveEx(5, name, description), 1);
  EXPECT_EQ(library->RemoveHardwareDrive(5), 0);
  EXPECT_TRUE(machine->Record().ejectRequests.empty());
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
  EXPECT_TRUE(process->LibraryLoaded());
  library.reset();
  EXPECT_FALSE(process->LibraryLoaded());
}

}  // namespace
}  // namespace ejectra
