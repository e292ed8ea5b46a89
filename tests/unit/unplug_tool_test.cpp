#include <gtest/gtest.h>

#include "platform/sim/machine_builder.h"
#include "platform/sim/utf.h"
#include "tests/support/sim_hook_helper.h"
#include "tests/support/tool_fixture.h"
#include "tools/console/console_unplug_tool.h"
#include "tools/message_ids.h"

namespace ejectra::tools {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::InstallSimHookHelper;
using testing::kBanner;
using testing::ToolTest;

// The sample machine: C: fixed, E: F: H: J: removable, G: I: not, Z: a share.
class ConsoleToolTest : public ToolTest {};

constexpr char16_t kConsoleUsage[] =
    u"使用法: ejectrac [/B] [[/S] ドライブ名 | /D デバイス名] | [/L]\n"
    u"\n"
    u"ドライブ名" u"     " u"ドライブ名を指定します。 (例)「A: B:」または「ABC」(複数指定)\n"
    u"/D デバイス名" u"  " u"デバイス名を指定します。 (例) TOSHIBA MK5004MAL USB Device\n"
    u"/L" u"             " u"現在接続されている取り外し可能なデバイスの一覧を表示します。\n"
    u"/B" u"             " u"ハードウェアの取り外しメッセージをバルーン表示にする。\n"
    u"/S" u"             " u"接続されていないドライブをスキップする\n";

TEST_F(ConsoleToolTest, NoArguments_PrintsBannerThenUsageAndFails) {
  EXPECT_EQ(RunConsole(u""), kExitFailure);
  EXPECT_EQ(Stdout(), std::u16string(kBanner) + kConsoleUsage);
  // Every line feed reaches the stream as CR LF.
  EXPECT_EQ(process->stdoutBytes.find("\n"), process->stdoutBytes.find("\r\n") + 1);
  EXPECT_EQ(process->stdoutBytes.find("\r\r"), std::string::npos);
}

TEST_F(ConsoleToolTest, List_PrintsEachRemovableDriveInLetterOrder) {
  EXPECT_EQ(RunConsole(u"/L"), kExitSuccess);
  EXPECT_EQ(Said(),
            u"[E:] SanDisk Cruzer Blade USB Device ( USB 大容量記憶装置 )\n"
            u"[F:] Generic- SD/MMC USB Device ( USB 大容量記憶装置 )\n"
            u"[H:] WD My Passport 25E2 SCSI Disk Device ( USB 接続 SCSI (UAS) マス ストレージ デバイス )\n"
            u"[J:]  ( ディスク ドライブ )\n");
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(ConsoleToolTest, List_OnlyPresentLettersAreAsked) {
  process->logicalDrives = (1u << 2) | (1u << 5);  // C: and F:
  EXPECT_EQ(RunConsole(u"/l"), kExitSuccess);
  EXPECT_EQ(Said(), u"[F:] Generic- SD/MMC USB Device ( USB 大容量記憶装置 )\n");
}

TEST_F(ConsoleToolTest, List_NothingRemovable_PrintsMessage2005) {
  process->logicalDrives = 1u << 2;
  EXPECT_EQ(RunConsole(u"-L"), kExitSuccess);
  EXPECT_EQ(Said(), u"取り外し可能なドライブはありません。\n");
}

TEST_F(ConsoleToolTest, List_WithoutTheLibrary_Fails) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_EQ(RunConsole(u"/L"), kExitFailure);
  EXPECT_EQ(Said(), u"Pullcore.dll が見つかりませんでした。\n");
}

TEST_F(ConsoleToolTest, UsageComesBeforeTheLibraryCheck) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_EQ(RunConsole(u"/X"), kExitFailure);
  EXPECT_EQ(Said(), kConsoleUsage);
}

TEST_F(ConsoleToolTest, DriveList_RemovesInLetterOrderAndReportsEachFailure) {
  // Z: a share, C: fixed, Q: absent, F: and E: removable.
  EXPECT_EQ(RunConsole(u"zcqFe"), kExitSuccess);
  EXPECT_EQ(Said(),
            u"ドライブ C: は、取り外し可能なドライブではありません。\n"
            u"ドライブ Q: は、システムに存在しません。\n"
            u"ドライブ Z: は、取り外し可能なドライブではありません。\n");
  ASSERT_EQ(Ejected().size(), 2u);
  EXPECT_EQ(machine->State().devices[Ejected()[0] - 1].instanceId, u"USB\\VID_0781&PID_5567\\4C530001230512115253");
  EXPECT_EQ(machine->State().devices[Ejected()[1] - 1].instanceId, u"USB\\VID_0BDA&PID_0158\\20120926571200000");
}

TEST_F(ConsoleToolTest, SkipAbsent_PassesOverMissingLettersSilently) {
  EXPECT_EQ(RunConsole(u"/S QE"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_EQ(Ejected().size(), 1u);
}

TEST_F(ConsoleToolTest, RefusedRemoval_IsSilentAndStillSucceedsForADriveList) {
  machine->State().devices[machine->State().Find(u"USB\\VID_0781&PID_5567\\4C530001230512115253") - 1]
      .ejectAnswer = kCrRemoveVetoed;
  EXPECT_EQ(RunConsole(u"E:"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_EQ(Ejected().size(), 1u);
}

TEST_F(ConsoleToolTest, EmptyDriveListOrOnlySwitches_RemoveNothingAndSucceed) {
  EXPECT_EQ(RunConsole(u":"), kExitSuccess);
  EXPECT_EQ(RunConsole(u"\"\""), kExitSuccess);
  EXPECT_EQ(RunConsole(u"/S"), kExitSuccess);
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(ConsoleToolTest, DeviceName_MatchesWholeNamesIgnoringOnlyAsciiCase) {
  EXPECT_EQ(RunConsole(u"/D \"generic- sd/mmc usb DEVICE\""), kExitSuccess);
  EXPECT_EQ(Ejected().size(), 1u);

  EXPECT_EQ(RunConsole(u"/D \"SanDisk Cruzer Blade USB Device \""), kExitFailure);
  EXPECT_EQ(RunConsole(u"/D SanDisk Cruzer Blade USB Device"), kExitFailure);  // first word only
  EXPECT_EQ(Ejected().size(), 1u);
  const std::u16string said = Stdout();
  EXPECT_NE(said.find(u"デバイス名 \"SanDisk Cruzer Blade USB Device \" に一致する取り外し可能なドライブは見つかりませんでした。\n"),
            std::u16string::npos);
  EXPECT_NE(said.find(u"デバイス名 \"SanDisk\" に一致する"), std::u16string::npos);
}

TEST_F(ConsoleToolTest, DeviceName_EmptyMatchesTheDriveWithoutAFriendlyName) {
  EXPECT_EQ(RunConsole(u"/D \"\""), kExitSuccess);
  ASSERT_EQ(Ejected().size(), 1u);
  EXPECT_EQ(machine->State().devices[Ejected()[0] - 1].instanceId,
            u"USBSTOR\\DISK&VEN_SMI&PROD_USB_DISK&REV_1100\\AA00000000000489&0");
}

TEST_F(ConsoleToolTest, DeviceName_SameNameTwice_TheLowestLetterWins) {
  MachineBuilder b;
  const UsbStorage f = b.AddUsbStick(u'F', u"Twin");
  b.AddUsbStick(u'G', u"Twin");
  UseMachine(b.Build());
  EXPECT_EQ(RunConsole(u"/s /D twin"), kExitSuccess);
  EXPECT_EQ(Ejected(), std::vector<DevInst>{f.usbDevice});
}

// The walk stops at the first match: no drive after it is asked about.
TEST_F(ConsoleToolTest, DeviceName_AsksTheLibraryAboutNoDriveAfterTheMatch) {
  const std::string ex = "IsRemovableHardwareDriveExW ";
  const struct {
    const char16_t* arguments;
    std::vector<std::string> calls;
  } cases[] = {
      {u"/D \"SanDisk Cruzer Blade USB Device\"",  // E:, the first removable drive
       {ex + "3", ex + "5", "IsRemovableHardwareDrive 5", "RemoveHardwareDrive 5"}},
      {u"/D \"WD My Passport 25E2 SCSI Disk Device\"",  // H:, in the middle
       {ex + "3", ex + "5", ex + "6", ex + "7", ex + "8", "IsRemovableHardwareDrive 8",
        "RemoveHardwareDrive 8"}},
      {u"/D nothing",  // every present drive: C: E: F: G: H: I: J: Z:
       {ex + "3", ex + "5", ex + "6", ex + "7", ex + "8", ex + "9", ex + "10", ex + "26"}},
  };
  for (const auto& c : cases) {
    UseMachine(SampleMachine());
    RunConsole(c.arguments);
    EXPECT_EQ(testing::PullcoreCalls(*world), c.calls) << Utf16ToUtf8(c.arguments);
  }
}

TEST_F(ConsoleToolTest, DeviceName_RemovalRefused_Fails) {
  machine->State().devices[machine->State().Find(u"USB\\VID_0781&PID_5567\\4C530001230512115253") - 1]
      .ejectAnswer = kCrRemoveVetoed;
  EXPECT_EQ(RunConsole(u"/D \"SanDisk Cruzer Blade USB Device\""), kExitFailure);
  EXPECT_EQ(Said(), u"");
}

TEST_F(ConsoleToolTest, CommandLineThatCannotBeSplit_ShowsUsageAndFails) {
  world->calls.Fail("CommandLineToArgvW", kErrorNotEnoughMemory);
  EXPECT_EQ(RunConsole(u"E:"), kExitFailure);
  EXPECT_EQ(Said(), kConsoleUsage);
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(ConsoleToolTest, NoVersionResource_NoBanner) {
  RunConsole(u"/L");
  process->versions.clear();
  process->stdoutBytes.clear();
  tools::RunConsoleTool(process->Services());
  EXPECT_EQ(Stdout().substr(0, 4), u"[E:]");
}

class BalloonTest : public ToolTest {
 protected:
  std::vector<std::string> ComCalls() const {
    return world->calls.Sequence({"CoInitialize", "CoCreateInstance", "StartHook", "StopHook",
                                  "Release", "CoUninitialize"});
  }
};

TEST_F(BalloonTest, BracketsTheRemovalsWithOneStartAndOneStop) {
  InstallSimHookHelper(*world);
  EXPECT_EQ(RunConsole(u"/B E:"), kExitSuccess);
  EXPECT_EQ(ComCalls(), (std::vector<std::string>{"CoInitialize", "CoCreateInstance", "StartHook",
                                                  "StopHook", "Release", "CoUninitialize"}));
  EXPECT_EQ(Ejected().size(), 1u);
}

TEST_F(BalloonTest, HookFailuresAreIgnored) {
  InstallSimHookHelper(*world);
  world->calls.Fail("StartHook", 0x80004005);
  world->calls.Fail("StopHook", 0x80004005);
  EXPECT_EQ(RunConsole(u"/B /D \"SanDisk Cruzer Blade USB Device\""), kExitSuccess);
  EXPECT_EQ(Ejected().size(), 1u);
}

TEST_F(BalloonTest, NotRegistered_RemovesWithoutAWord) {
  EXPECT_EQ(RunConsole(u"/B E:"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_EQ(Ejected().size(), 1u);
  EXPECT_EQ(ComCalls().back(), "CoUninitialize");
}

TEST_F(BalloonTest, ServerThatCannotServe_StopsBeforeAnyDrive) {
  // A server that fails to start, and one whose program file is missing.
  InstallSimHookHelper(*world, /*serves=*/false);
  EXPECT_EQ(RunConsole(u"/B E:"), kExitFailure);
  EXPECT_EQ(Said(), u"PullcoreHookHelper インスタンスの生成に失敗しました。\n");
  EXPECT_TRUE(Ejected().empty());
  EXPECT_EQ(ComCalls().back(), "CoUninitialize");

  process->stdoutBytes.clear();
  world->calls.Fail("CoCreateInstance", 0x80070002);
  EXPECT_EQ(RunConsole(u"/B E:"), kExitFailure);
  EXPECT_EQ(Said(), u"PullcoreHookHelper インスタンスの生成に失敗しました。\n");
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(BalloonTest, ComThatCannotStart_StopsBeforeAnyDrive) {
  world->calls.Fail("CoInitialize", 0x80004005);
  EXPECT_EQ(RunConsole(u"/B E:"), kExitFailure);
  EXPECT_EQ(Said(), u"COMライブラリの初期化に失敗しました。\n");
  EXPECT_EQ(ComCalls(), std::vector<std::string>{"CoInitialize"});
}

TEST_F(BalloonTest, ComAlreadyInitialised_CountsAndIsBalanced) {
  InstallSimHookHelper(*world);
  world->calls.Fail("CoInitialize", kSFalse);  // S_FALSE: this thread had COM already
  EXPECT_EQ(RunConsole(u"/B E:"), kExitSuccess);
  EXPECT_EQ(ComCalls(), (std::vector<std::string>{"CoInitialize", "CoCreateInstance", "StartHook",
                                                  "StopHook", "Release", "CoUninitialize"}));
}

TEST_F(BalloonTest, NothingToRemove_StillStartsAndStopsTheHook_ButListingNever) {
  InstallSimHookHelper(*world);
  EXPECT_EQ(RunConsole(u"/B"), kExitSuccess);
  EXPECT_EQ(ComCalls().size(), 6u);
  world->calls.Clear();
  EXPECT_EQ(RunConsole(u"/B /L"), kExitSuccess);
  EXPECT_TRUE(ComCalls().empty());
}

class WindowlessToolTest : public ToolTest {
 protected:
  std::vector<std::pair<std::u16string, std::uint32_t>> Boxes() const {
    std::vector<std::pair<std::u16string, std::uint32_t>> boxes;
    for (const auto& box : process->messageBoxes) {
      EXPECT_EQ(box.caption, u"Ejectra");
      boxes.emplace_back(box.text, box.style);
    }
    return boxes;
  }
};

TEST_F(WindowlessToolTest, NoArguments_ShowsItsOwnUsage) {
  EXPECT_EQ(RunWindowless(u""), kExitFailure);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::u16string, std::uint32_t>>{
                         {u"Ejectra\n\n使用法: ejectra [/B] [[/S] ドライブ名 | /D デバイス名]\n\n"
                          u"ドライブ名     ドライブ名を指定します。 (例)「A: B:」または「ABC」(複数指定)\n"
                          u"/D デバイス名  デバイス名を指定します。 (例) TOSHIBA MK5004MAL USB Device\n"
                          u"/B             ハードウェアの取り外しメッセージをバルーン表示にする。\n"
                          u"/S             接続されていないドライブをスキップする",
                          kMbIconWarning}}));
  EXPECT_TRUE(process->stdoutBytes.empty());
}

TEST_F(WindowlessToolTest, OneBoxPerFailingDriveWithItsStyle) {
  EXPECT_EQ(RunWindowless(u"QCE"), kExitSuccess);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::u16string, std::uint32_t>>{
                         {u"ドライブ C: は、取り外し可能なドライブではありません。", kMbIconWarning},
                         {u"ドライブ Q: は、システムに存在しません。", kMbIconWarning}}));
}

TEST_F(WindowlessToolTest, ListIsNotSupported) {
  EXPECT_EQ(RunWindowless(u"/L"), kExitSuccess);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::u16string, std::uint32_t>>{
                         {u"サポートされていないオプションです。", kMbIconWarning}}));
}

TEST_F(WindowlessToolTest, MissingLibraryAndUnmatchedName_UseTheirOwnTexts) {
  EXPECT_EQ(RunWindowless(u"/D nothing"), kExitFailure);
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_EQ(RunWindowless(u"E:"), kExitFailure);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::u16string, std::uint32_t>>{
                         {u"Pullcore.dll が見つかりませんでした。", kMbIconError}}));
}

TEST_F(WindowlessToolTest, UnmatchedName_HasTwoBlanksAfterTheQuote) {
  EXPECT_EQ(RunWindowless(u"/D nothing"), kExitFailure);
  EXPECT_EQ(Boxes(), (std::vector<std::pair<std::u16string, std::uint32_t>>{
                         {u"デバイス名 \"nothing\"  に一致する取り外し可能なドライブは見つかりませんでした。",
                          kMbIconWarning}}));
}

}  // namespace
}  // namespace ejectra::tools
