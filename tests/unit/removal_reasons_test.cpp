// /V: the tools' texts for a removal refused or done, with a library whose
// RemoveHardwareDriveExW answers as a test scripts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/utf.h"
#include "tests/support/tool_fixture.h"
#include "tools/message_ids.h"
#include "tools/message_table.h"
#include "tools/removal_report.h"

namespace ejectra::tools {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::ToolTest;

// What the scripted export answers, and the drives it was asked about.
int g_answer = 0;
PullcoreRemoval g_report{};
std::vector<int> g_asked;

int EJECTRA_WINAPI ScriptedRemoveEx(int drive, PullcoreRemoval* removal) {
  g_asked.push_back(drive);
  if (!removal || removal->Size != sizeof(PullcoreRemoval)) return 0;
  *removal = g_report;
  removal->Size = sizeof(PullcoreRemoval);
  return g_answer;
}

void SetText(char16_t (&field)[kRemovalTextChars], std::u16string_view text) {
  std::fill(std::begin(field), std::end(field), u'\0');
  std::copy(text.begin(), text.end(), field);
}

PullcoreRemoval Refusal(std::uint32_t vetoType, std::u16string_view vetoName = {},
                        std::vector<std::pair<std::uint32_t, std::u16string>> blockers = {}) {
  PullcoreRemoval removal{};
  removal.VetoType = vetoType;
  SetText(removal.VetoName, vetoName);
  for (const auto& [id, path] : blockers) {
    removal.Blockers[removal.BlockerCount].ProcessId = id;
    SetText(removal.Blockers[removal.BlockerCount++].ImagePath, path);
  }
  return removal;
}

class ReasonsTest : public ToolTest {
 protected:
  ReasonsTest() {
    g_answer = 0;
    g_report = {};
    g_asked.clear();
    WithRemoveEx();
  }
  void WithRemoveEx() {
    world->libraries[kLibraryPath].exports["RemoveHardwareDriveExW"] =
        reinterpret_cast<ProcAddress>(&ScriptedRemoveEx);
  }
  std::u16string Text(const PullcoreRemoval& removal, char16_t letter = u'E') {
    process->strings = ConsoleMessageTable();
    return RefusalText(*process, *Drive::FromLetter(letter), removal);
  }
  std::size_t SpecifiedRemovals() const { return world->calls.Count("RemoveHardwareDrive"); }
};

constexpr char16_t kRefused[] = u"ドライブ E: の取り外しは拒否されました。";

TEST_F(ReasonsTest, RefusalText_EachVetoTypeHasItsReason) {
  const std::u16string name = u"USB\\VID_0781&PID_5567\\4C53";
  const struct {
    std::uint32_t type;
    std::u16string reason;
  } cases[] = {
      {0, u"理由は不明です。"},
      {1, u"デバイスが取り外しに対応していません。"},
      {2, u"デバイスを閉じる処理が完了していません。"},
      {3, u"プログラム " + name + u" が取り外しを拒否しました。"},
      {4, u"サービス " + name + u" が取り外しを拒否しました。"},
      {6, u"デバイス " + name + u" が取り外しを拒否しました。"},
      {7, u"ドライバー " + name + u" が取り外しを拒否しました。"},
      {8, u"デバイスがこの操作に対応していません。"},
      {9, u"電力が不足しています。"},
      {10, u"デバイス " + name + u" は無効にできません。"},
      {11, u"ドライバー " + name + u" が取り外しに対応していません。"},
      {12, u"権限が不足しています。"},
      {13, u"デバイスは既に取り外されています。"},
      {14, u"理由は不明です。"},  // a type this build does not know
      {0xFFFFFFFF, u"理由は不明です。"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text(Refusal(c.type, name)), kRefused + c.reason) << c.type;
  }
}

TEST_F(ReasonsTest, RefusalText_InUse_NamesEachHolderInOrderOrSaysNoneIsKnown) {
  EXPECT_EQ(Text(Refusal(5, u"STORAGE\\Volume\\1", {{4242, u"C:\\Tools\\editor.exe"}, {4, u"System"}}),
                 u'F'),
            u"ドライブ F: は使用中のため、取り外せませんでした。\n"
            u"  C:\\Tools\\editor.exe (プロセス ID 4242)\n"
            u"  System (プロセス ID 4)");
  EXPECT_EQ(Text(Refusal(5)),
            u"ドライブ E: は使用中のため、取り外せませんでした。\n"
            u"  使用中のプログラムは特定できませんでした。");
  // Holders of another refusal are named too; "none known" belongs to 5 only.
  EXPECT_EQ(Text(Refusal(0, u"", {{7, u"a.exe"}})),
            std::u16string(kRefused) + u"理由は不明です。\n  a.exe (プロセス ID 7)");
}

TEST_F(ReasonsTest, RefusalText_ReadsNoFurtherThanTheReportHolds) {
  PullcoreRemoval removal = Refusal(3);
  std::fill(std::begin(removal.VetoName), std::end(removal.VetoName), u'x');  // no terminator
  removal.BlockerCount = 1000;
  for (PullcoreBlocker& blocker : removal.Blockers) SetText(blocker.ImagePath, u"p");
  const std::u16string text = Text(removal);
  EXPECT_NE(text.find(u"プログラム " + std::u16string(kRemovalTextChars, u'x') + u" が"),
            std::u16string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 8);
}

TEST_F(ReasonsTest, Console_Removed_SaysItMayBeUnplugged) {
  g_answer = 1;
  EXPECT_EQ(RunConsole(u"/V E:"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ E: は安全に取り外せます。\n");
  EXPECT_EQ(g_asked, std::vector<int>{5});
  EXPECT_EQ(SpecifiedRemovals(), 0u);
}

TEST_F(ReasonsTest, Console_Refused_PrintsTheLinesAndKeepsTheExitCodes) {
  g_report = Refusal(5, u"", {{4242, u"C:\\Tools\\editor.exe"}});
  EXPECT_EQ(RunConsole(u"-v EF"), kExitSuccess);  // a drive list: 0 whatever became of each
  EXPECT_EQ(Said(),
            u"ドライブ E: は使用中のため、取り外せませんでした。\n"
            u"  C:\\Tools\\editor.exe (プロセス ID 4242)\n"
            u"ドライブ F: は使用中のため、取り外せませんでした。\n"
            u"  C:\\Tools\\editor.exe (プロセス ID 4242)\n");
  EXPECT_EQ(RunConsole(u"/v /D \"SanDisk Cruzer Blade USB Device\""), kExitFailure);
  EXPECT_EQ(g_asked, (std::vector<int>{5, 6, 5}));
}

TEST_F(ReasonsTest, Windowless_OneBoxPerDriveWithItsIcon) {
  g_report = Refusal(3, u"backup.exe");
  g_answer = 0;
  EXPECT_EQ(RunWindowless(u"/V EQ"), kExitSuccess);
  g_answer = 1;
  EXPECT_EQ(RunWindowless(u"/V F:"), kExitSuccess);
  EXPECT_EQ(process->messageBoxes,
            (std::vector<SimMessageBox>{
                {u"ドライブ E: の取り外しは拒否されました。プログラム backup.exe が取り外しを拒否しました。",
                 u"Ejectra", kMbIconWarning},
                {u"ドライブ Q: は、システムに存在しません。", u"Ejectra", kMbIconWarning},
                {u"ドライブ F: は安全に取り外せます。", u"Ejectra", kMbIconInformation}}));
}

// /V is a flag among /B and /S before the drives; after them it is not read.
TEST_F(ReasonsTest, Switch_AnyOrderBeforeTheDrivesAndNeverAfter) {
  g_answer = 1;
  for (const char16_t* arguments : {u"/V /S E:", u"/s /v E:", u"-V -S E", u"/V /V E:"}) {
    g_asked.clear();
    EXPECT_EQ(RunConsole(arguments), kExitSuccess) << Utf16ToUtf8(arguments);
    EXPECT_EQ(g_asked, std::vector<int>{5}) << Utf16ToUtf8(arguments);
  }
  g_asked.clear();
  process->stdoutBytes.clear();
  EXPECT_EQ(RunConsole(u"E: /V"), kExitSuccess);
  EXPECT_TRUE(g_asked.empty());
  EXPECT_EQ(SpecifiedRemovals(), 1u);
  EXPECT_EQ(Said(), u"");
}

TEST_F(ReasonsTest, WithoutTheSwitch_TheExportIsNeverBound) {
  EXPECT_EQ(RunConsole(u"E:"), kExitSuccess);
  EXPECT_TRUE(g_asked.empty());
  EXPECT_EQ(SpecifiedRemovals(), 1u);
}

TEST_F(ReasonsTest, OlderLibraryWithoutTheExport_SwitchChangesNothing) {
  InstallPullcore(kLibraryPath, testing::kExportOriginal);
  EXPECT_EQ(RunConsole(u"/V E:"), kExitSuccess);
  EXPECT_EQ(Said(), u"");
  EXPECT_EQ(SpecifiedRemovals(), 1u);
  EXPECT_EQ(Ejected().size(), 1u);
}

}  // namespace
}  // namespace ejectra::tools
