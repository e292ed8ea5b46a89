// The tools' own switches beyond removal by letter: /M (the medium, with a
// library whose EjectDriveMedia answers as a test scripts it), /A (every
// removable drive) and /J (the list as JSON).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/sim/machine_builder.h"
#include "platform/sim/utf.h"
#include "tests/support/tool_fixture.h"
#include "tools/console/drive_list_json.h"
#include "tools/message_ids.h"

namespace ejectra::tools {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::ToolTest;

// What the scripted export answers for each drive (ejected when not set),
// and the drives it was asked about.
std::map<int, int> g_answers;
std::vector<int> g_asked;

int EJECTRA_WINAPI ScriptedEjectMedia(int drive) {
  g_asked.push_back(drive);
  const auto answer = g_answers.find(drive);
  return answer == g_answers.end() ? kMediaEjected : answer->second;
}

using Boxes = std::vector<std::pair<std::u16string, std::uint32_t>>;

class SwitchesTest : public ToolTest {
 protected:
  SwitchesTest() {
    g_answers.clear();
    g_asked.clear();
    world->libraries[kLibraryPath].exports["EjectDriveMedia"] =
        reinterpret_cast<ProcAddress>(&ScriptedEjectMedia);
  }
  Boxes Shown() const {
    Boxes boxes;
    for (const auto& box : process->messageBoxes) boxes.emplace_back(box.text, box.style);
    return boxes;
  }
  std::size_t Removals() const { return world->calls.Count("RemoveHardwareDrive"); }
};

constexpr char16_t kNotEjectedF[] = u"ドライブ F: のメディアを取り出せませんでした。";
constexpr char16_t kCloseFirst[] = u"  ドライブを使用中のプログラムを閉じてから、もう一度実行してください。";

TEST_F(SwitchesTest, Media_EachAnswerHasItsTextInBothTools) {
  struct Case {
    int answer;
    const char16_t* arguments;
    std::u16string said;  // ejectrac; Ejectra shows the same text in one box
    std::uint32_t icon;
  } const cases[] = {
      {kMediaEjected, u"/M F:", u"", 0},
      {kMediaEjected, u"/M /V F:", u"ドライブ F: のメディアを取り出しました。", kMbIconInformation},
      {kMediaFailed, u"/M F:", kNotEjectedF, kMbIconWarning},
      {kMediaInUse, u"/M F:", std::u16string(kNotEjectedF) + u"\n" + kCloseFirst, kMbIconWarning},
      {kMediaNotRemovable, u"/M F:", u"ドライブ F: は、取り外し可能なドライブではありません。",
       kMbIconWarning},
      {kMediaAccessDenied, u"/M F:", u"ドライブ F: のメディアを取り出すには管理者の権限が必要です。",
       kMbIconWarning},
      {kMediaDismounted, u"/M F:", u"ドライブ F: のメディアは安全に取り出せます。", kMbIconInformation},
      {7, u"/m F:", kNotEjectedF, kMbIconWarning},  // an answer the tool does not know
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.arguments) + " answering " + std::to_string(c.answer));
    g_answers = {{6, c.answer}};
    process->stdoutBytes.clear();
    process->messageBoxes.clear();
    EXPECT_EQ(RunConsole(c.arguments), kExitSuccess);  // a drive list: 0 whatever became of it
    EXPECT_EQ(Said(), c.said.empty() ? u"" : c.said + u"\n");
    EXPECT_EQ(RunWindowless(c.arguments), kExitSuccess);
    const Boxes box = c.said.empty() ? Boxes{} : Boxes{{c.said, c.icon}};
    EXPECT_EQ(Shown(), box);
  }
  EXPECT_EQ(g_asked, std::vector<int>(16, 6));
  EXPECT_EQ(Removals(), 0u);
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(SwitchesTest, Media_AbsentDriveIsNotAsked_DeviceNameEjectsItsMatch) {
  EXPECT_EQ(RunConsole(u"/M Q:"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ Q: は、システムに存在しません。\n");
  EXPECT_TRUE(g_asked.empty());

  EXPECT_EQ(RunConsole(u"/M /D \"Generic- SD/MMC USB Device\""), kExitSuccess);
  g_answers = {{5, kMediaInUse}};
  EXPECT_EQ(RunConsole(u"/M /D \"SanDisk Cruzer Blade USB Device\""), kExitFailure);
  // Free to take out by hand counts as done; rights missing does not.
  g_answers = {{5, kMediaDismounted}, {6, kMediaAccessDenied}};
  EXPECT_EQ(RunConsole(u"/M /D \"SanDisk Cruzer Blade USB Device\""), kExitSuccess);
  EXPECT_EQ(RunConsole(u"/M /D \"Generic- SD/MMC USB Device\""), kExitFailure);
  EXPECT_EQ(g_asked, (std::vector<int>{6, 5, 5, 6}));
  EXPECT_EQ(Removals(), 0u);
}

TEST_F(SwitchesTest, Media_LibraryWithoutTheExport_FailsEachDriveAndRemovesNothing) {
  InstallPullcore(kLibraryPath, testing::kExportOriginal | testing::kExportRemoveEx);
  EXPECT_EQ(RunConsole(u"/M EF"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ E: のメディアを取り出せませんでした。\n" + std::u16string(kNotEjectedF) + u"\n");
  EXPECT_EQ(Removals(), 0u);
  EXPECT_TRUE(Ejected().empty());
}

// /V asks for the reasons' export, and only /V: the library's bound calls
// are otherwise exactly the original ones (and EjectDriveMedia for /M).
TEST_F(SwitchesTest, Media_ReasonsExportAskedOnlyWithV_ItsAbsenceKeeps3008) {
  const auto asked = [this] {
    std::size_t lookups = 0;
    for (const SimCall& call : world->calls.Log()) {
      lookups += call.name == "GetProcAddress" && call.detail == "RemoveHardwareDriveExW";
    }
    return lookups;
  };
  EXPECT_EQ(RunConsole(u"/M F:"), kExitSuccess);
  EXPECT_EQ(RunConsole(u"F:"), kExitSuccess);
  EXPECT_EQ(asked(), 0u);

  InstallPullcore(kLibraryPath, testing::kExportOriginal);
  world->libraries[kLibraryPath].exports["EjectDriveMedia"] =
      reinterpret_cast<ProcAddress>(&ScriptedEjectMedia);
  process->stdoutBytes.clear();
  EXPECT_EQ(RunConsole(u"/V /M F:"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ F: のメディアを取り出しました。\n");
  EXPECT_EQ(asked(), 1u);
}

TEST_F(SwitchesTest, All_RemovesEachRemovableDrive_ALetterGoneWithItsDeviceSilently) {
  MachineBuilder b;
  b.AddFixedDisk(u'C', u"Fixed Disk");
  const UsbStorage stick = b.AddUsbStick(u'K', u"Two Letter Stick");
  b.DosDevice(u"L:", {stick.objectName});  // a second letter of the same device
  const UsbStorage other = b.AddUsbStick(u'M', u"Other Stick");
  UseMachine(b.Build());
  EXPECT_EQ(RunConsole(u"/A"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_EQ(Ejected(), (std::vector<DevInst>{stick.usbDevice, other.usbDevice}));
  EXPECT_EQ(testing::PullcoreCalls(*world),
            (std::vector<std::string>{"IsRemovableHardwareDrive 3", "IsRemovableHardwareDrive 11",
                                      "RemoveHardwareDrive 11", "IsRemovableHardwareDrive 12",
                                      "IsRemovableHardwareDrive 13", "RemoveHardwareDrive 13"}));
}

TEST_F(SwitchesTest, All_NothingRemovable_SaysSoInEachTool) {
  for (const char16_t* arguments : {u"/A", u"/M /A"}) {
    SCOPED_TRACE(Utf16ToUtf8(arguments));
    g_answers = {{3, kMediaNotRemovable}};
    process->logicalDrives = 1u << 2;  // C: alone
    process->stdoutBytes.clear();
    process->messageBoxes.clear();
    EXPECT_EQ(RunConsole(arguments), kExitSuccess);
    EXPECT_EQ(Said(), u"取り外し可能なドライブはありません。\n");
    EXPECT_EQ(RunWindowless(arguments), kExitSuccess);
    EXPECT_EQ(Shown(), (Boxes{{u"取り外し可能なドライブはありません。", kMbIconWarning}}));
  }
  EXPECT_EQ(Removals(), 0u);
}

TEST_F(SwitchesTest, All_WithMedia_EjectsEveryPresentDrivePassingOverTheNotRemovable) {
  g_answers = {{3, kMediaNotRemovable}, {6, kMediaInUse},         {7, kMediaFailed},
               {8, kMediaNotRemovable}, {9, kMediaNotRemovable}, {26, kMediaNotRemovable}};
  EXPECT_EQ(RunConsole(u"/V /M /A"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ E: のメディアを取り出しました。\n" + std::u16string(kNotEjectedF) +
                        u"\n" + kCloseFirst + u"\nドライブ G: のメディアを取り出せませんでした。\n"
                        u"ドライブ J: のメディアを取り出しました。\n");
  EXPECT_EQ(g_asked, (std::vector<int>{3, 5, 6, 7, 8, 9, 10, 26}));
  EXPECT_EQ(Removals(), 0u);
}

// The new flags sit among /B, /S and /V before the drives; /A and /J end the
// arguments as a drive list and /L do, so nothing after them is read.
TEST_F(SwitchesTest, NewSwitches_AnyOrderAmongTheFlags_NeverAfterTheDrives) {
  const std::vector<int> allPresent = {3, 5, 6, 7, 8, 9, 10, 26};
  struct Case {
    const char16_t* arguments;
    std::vector<int> mediaAsked;
    std::size_t removals;
    bool json;
  } const cases[] = {
      {u"/M /B /S /V F:", {6}, 0, false}, {u"/v /s /b /m F:", {6}, 0, false},
      {u"-M -M F", {6}, 0, false},        {u"/B /M /A", allPresent, 0, false},
      {u"/S /B /A", {}, 4, false},        {u"/m /a /l", allPresent, 0, false},
      {u"F: /M", {}, 1, false},           {u"/A /M", {}, 4, false},
      {u"/M /B /V /J", {}, 0, true},      {u"/j /M", {}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.arguments));
    UseMachine(SampleMachine());
    world->libraries[kLibraryPath].exports["EjectDriveMedia"] =
        reinterpret_cast<ProcAddress>(&ScriptedEjectMedia);
    g_asked.clear();
    EXPECT_EQ(RunConsole(c.arguments), kExitSuccess);
    EXPECT_EQ(g_asked, c.mediaAsked);
    EXPECT_EQ(Removals(), c.removals);
    EXPECT_EQ(process->stdoutBytes.starts_with("[{\"drive\":\"E:\""), c.json);
  }
}

// The whole path: the tool, the simulated library's export and the core on
// the sample machine, whose F: is the SD slot of a card reader.
class MediaOnSampleTest : public ToolTest {};

TEST_F(MediaOnSampleTest, CardLeavesReaderStays_HeldVolumeTriedForASecondThenTwoLines) {
  EXPECT_EQ(RunConsole(u"/M F:"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_FALSE(machine->State().volumes.at(u"F:").medium);
  EXPECT_TRUE(Ejected().empty());
  EXPECT_EQ(world->clock.Now(), 0u);

  for (SimDevice& device : machine->State().devices) {  // a viewer holds E:'s volume
    if (device.instanceId.starts_with(u"STORAGE\\VOLUME\\_??_USBSTOR#DISK&VEN_SANDISK")) {
      device.holders = {{77, u"\\Device\\HarddiskVolume3\\viewer.exe"}};
    }
  }
  process->stdoutBytes.clear();
  EXPECT_EQ(RunConsole(u"/M E:"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ E: のメディアを取り出せませんでした。\n" + std::u16string(kCloseFirst) + u"\n");
  EXPECT_EQ(world->clock.Now(), 900u);  // 10 tries, 100 ms apart
  EXPECT_TRUE(machine->State().volumes.at(u"E:").medium);
}

TEST(DriveListJson, JsonString_EscapesWhatJsonRequiresAndWritesUtf8) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", "\"\""},
      {u"say \"hi\"", "\"say \\\"hi\\\"\""},
      {u"C:\\Tools", "\"C:\\\\Tools\""},
      {u"\x01\t\n\x1f/\x7f", "\"\\u0001\\u0009\\u000a\\u001f/\x7f\""},
      {u"ディスク ドライブ", "\"ディスク ドライブ\""},
      {u"\U0001F4BE", "\"\xF0\x9F\x92\xBE\""},
      {u"a\xD800z\xDC00", "\"a\xEF\xBF\xBDz\xEF\xBF\xBD\""},  // lone halves
  };
  for (const auto& [text, json] : cases) EXPECT_EQ(JsonString(text), json) << json;
}

TEST(DriveListJson, DriveListJson_KeysInOrderNoWhitespaceOneLineFeed) {
  EXPECT_EQ(DriveListJson({}), "[]\n");
  EXPECT_EQ(DriveListJson({{*Drive::FromLetter(u'E'), u"A", u"B"},
                           {*Drive::FromLetter(u'J'), u"", u"\""}}),
            "[{\"drive\":\"E:\",\"name\":\"A\",\"description\":\"B\"},"
            "{\"drive\":\"J:\",\"name\":\"\",\"description\":\"\\\"\"}]\n");
}

TEST_F(SwitchesTest, Json_ConsoleWritesTheBytesAlone_WindowlessAnswersAsForAList) {
  EXPECT_EQ(RunConsole(u"/J"), kExitSuccess);
  EXPECT_EQ(process->stdoutBytes,
            "[{\"drive\":\"E:\",\"name\":\"SanDisk Cruzer Blade USB Device\","
            "\"description\":\"USB 大容量記憶装置\"},"
            "{\"drive\":\"F:\",\"name\":\"Generic- SD/MMC USB Device\","
            "\"description\":\"USB 大容量記憶装置\"},"
            "{\"drive\":\"H:\",\"name\":\"WD My Passport 25E2 SCSI Disk Device\","
            "\"description\":\"USB 接続 SCSI (UAS) マス ストレージ デバイス\"},"
            "{\"drive\":\"J:\",\"name\":\"\",\"description\":\"ディスク ドライブ\"}]\n");
  process->stdoutBytes.clear();
  process->logicalDrives = 1u << 2;
  EXPECT_EQ(RunConsole(u"-j"), kExitSuccess);
  EXPECT_EQ(process->stdoutBytes, "[]\n");

  EXPECT_EQ(RunWindowless(u"/J"), kExitSuccess);
  EXPECT_EQ(Shown(), (Boxes{{u"サポートされていないオプションです。", kMbIconWarning}}));
  EXPECT_TRUE(Ejected().empty());
}

TEST_F(SwitchesTest, Json_WithoutTheLibrary_SaysSoAndFails) {
  UseMachine(SampleMachine(), /*withLibrary=*/false);
  EXPECT_EQ(RunConsole(u"/J"), kExitFailure);
  EXPECT_EQ(Stdout(), u"Pullcore.dll が見つかりませんでした。\n");
}

}  // namespace
}  // namespace ejectra::tools
