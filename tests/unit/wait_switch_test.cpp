// /W: a refused drive asked again once a second until it goes or the run's
// bound is used up, with exports that answer as a test scripts them (each
// call may take virtual time, as the real ones do).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/resolution.h"
#include "platform/sim/utf.h"
#include "tests/support/tool_fixture.h"
#include "tools/message_ids.h"
#include "tools/unplug_tool.h"

namespace ejectra::tools {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::ToolTest;

// Each scripted call answers the next entry (the last one over and over),
// after `g_callMs` of the world's time; 1 in `accept` ends the refusals.
struct Answer {
  using Holders = std::vector<std::pair<std::uint32_t, std::u16string>>;
  Answer(int accept_, Holders holders_ = {}) : accept(accept_), holders(std::move(holders_)) {}
  int accept;  // RemoveHardwareDriveExW: 1 removed; EjectDriveMedia: its result
  Holders holders;
  bool pullsOutE = false;  // E: is pulled out by hand during the call
};
std::vector<Answer> g_script;
std::vector<int> g_asked;
SimWorld* g_world = nullptr;
std::uint64_t g_callMs = 0;

const Answer& Next(int drive) {
  g_asked.push_back(drive);
  g_world->clock.Advance(g_callMs);
  return g_script[std::min(g_asked.size(), g_script.size()) - 1];
}

int EJECTRA_WINAPI ScriptedRemoveEx(int drive, PullcoreRemoval* removal) {
  const Answer& answer = Next(drive);
  if (answer.pullsOutE) g_world->machine.dosDevices.erase(u"E:");
  removal->VetoType = kPnpVetoOutstandingOpen;
  for (const auto& [id, path] : answer.holders) {
    PullcoreBlocker& blocker = removal->Blockers[removal->BlockerCount++];
    blocker.ProcessId = id;
    std::copy(path.begin(), path.end(), blocker.ImagePath);
  }
  return answer.accept;
}

int EJECTRA_WINAPI ScriptedEjectMedia(int drive) { return Next(drive).accept; }

class WaitTest : public ToolTest {
 protected:
  WaitTest() { Script({{0}}); }
  void Script(std::vector<Answer> script, std::uint64_t callMs = 0) {
    g_script = std::move(script);
    g_asked.clear();
    g_world = world.get();
    g_callMs = callMs;
    world->libraries[kLibraryPath].exports["RemoveHardwareDriveExW"] =
        reinterpret_cast<ProcAddress>(&ScriptedRemoveEx);
    world->libraries[kLibraryPath].exports["EjectDriveMedia"] =
        reinterpret_cast<ProcAddress>(&ScriptedEjectMedia);
  }
  // The tool's pauses, without those of the core's disk scan.
  std::vector<std::string> Pauses() const {
    std::vector<std::string> pauses = world->calls.Details("Sleep");
    std::erase(pauses, std::to_string(core::kDiskPauseMilliseconds));
    return pauses;
  }
};

const Answer kHeld{0, {{4242, u"C:\\notes.exe"}}};
constexpr char16_t kHeldE[] = u"ドライブ E: は使用中のため、取り外せませんでした。\n  C:\\notes.exe (プロセス ID 4242)\n";
constexpr char16_t kMediaHeldF[] =
    u"ドライブ F: のメディアを取り出せませんでした。\n  ドライブを使用中のプログラムを閉じてから、もう一度実行してください。\n";
std::u16string Waits(char16_t letter, int seconds) {
  const std::string digits = std::to_string(seconds);
  return u"ドライブ " + std::u16string(1, letter) + u": が解放されるまで最大 " +
         std::u16string(digits.begin(), digits.end()) + u" 秒待ちます。\n";
}
std::vector<std::string> Seconds(std::size_t count) { return std::vector<std::string>(count, "1000"); }

TEST(WaitSwitch, ParseArguments_TakesOneTo3600Seconds_AnythingElseIsTheUsage) {
  const std::pair<const char16_t*, std::uint32_t> cases[] = {
      {u"/W", 60}, {u"-w", 60}, {u"/W:1", 1},    {u"/w:3600", 3600}, {u"/W:0060", 60}, {u"/W:0", 0},
      {u"/W:3601", 0}, {u"/W:", 0}, {u"/W:x", 0}, {u"-w:-1", 0}, {u"/W5", 0}, {u"/W:99999999999", 0}};
  for (const auto& [argument, seconds] : cases) {
    UnplugOptions options;
    EXPECT_EQ(ParseArguments({u"ejectrac", argument, u"E:"}, options), seconds != 0) << Utf16ToUtf8(argument);
    EXPECT_EQ(options.waitSeconds, seconds) << Utf16ToUtf8(argument);
  }
}

TEST_F(WaitTest, Console_EachCase_ExactTriesPausesTextsAndExitCode) {
  const Answer other{0, {{77, u"C:\\viewer.exe"}}};
  const std::u16string removedE = u"ドライブ E: は安全に取り外せます。\n";
  const struct Case {
    const char16_t* arguments;
    std::vector<Answer> script;
    std::uint64_t callMs;  // the time each try takes
    std::vector<int> asked;
    std::vector<std::string> pauses;
    std::u16string said;
    int exitCode;
  } cases[] = {
      {u"/W E:", {kHeld, kHeld, 1}, 0, {5, 5, 5}, Seconds(2), u"", kExitSuccess},
      {u"/V /W E:", {kHeld, kHeld, 1}, 0, {5, 5, 5}, Seconds(2), kHeldE + Waits(u'E', 60) + removedE, kExitSuccess},
      {u"/V /W E:", {kHeld}, 0, std::vector<int>(61, 5), Seconds(60), kHeldE + Waits(u'E', 60) + kHeldE, kExitFailure},
      // Refused at 300 (the bound's start), 1600 and 2600.
      {u"/W:2 /D \"SanDisk Cruzer Blade USB Device\"", {kHeld}, 300, {5, 5, 5}, {"1000", "700"}, u"", kExitFailure},
      {u"/V /W:10 E:", {kHeld, kHeld, other, other, 1}, 0, {5, 5, 5, 5, 5}, Seconds(4),
       kHeldE + Waits(u'E', 10) + u"ドライブ E: は使用中のため、取り外せませんでした。\n  C:\\viewer.exe (プロセス ID 77)\n" + removedE,
       kExitSuccess},
      {u"/V /M /W F:", {kMediaInUse, kMediaInUse, kMediaEjected}, 0, {6, 6, 6}, Seconds(2),
       kMediaHeldF + Waits(u'F', 60) + u"ドライブ F: のメディアを取り出しました。\n", kExitSuccess},
      {u"/M /W:3 F:", {kMediaInUse}, 0, {6, 6, 6, 6}, Seconds(3), kMediaHeldF, kExitFailure},
      {u"/M /W F:", {kMediaFailed}, 0, {6}, {}, u"ドライブ F: のメディアを取り出せませんでした。\n", kExitFailure},
      // One bound for the run: H: comes when it is used up.
      {u"/V /W:3 /A", {kHeld, kHeld, kHeld, kHeld, 1, kHeld, 1}, 0, {5, 5, 5, 5, 6, 8, 10}, Seconds(3),
       kHeldE + Waits(u'E', 3) + kHeldE + u"ドライブ F: は安全に取り外せます。\n" +
           u"ドライブ H: は使用中のため、取り外せませんでした。\n  C:\\notes.exe (プロセス ID 4242)\n" +
           u"ドライブ J: は安全に取り外せます。\n",
       kExitFailure},
      {u"/W Q:", {kHeld}, 0, {}, {}, u"ドライブ Q: は、システムに存在しません。\n", kExitFailure},
      {u"/W C:", {kHeld}, 0, {}, {}, u"ドライブ C: は、取り外し可能なドライブではありません。\n", kExitFailure},
      {u"/S /W Q:", {kHeld}, 0, {}, {}, u"", kExitSuccess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.arguments));
    Script(c.script, c.callMs);
    world->calls.Clear();
    process->stdoutBytes.clear();
    EXPECT_EQ(RunConsole(c.arguments), c.exitCode);
    EXPECT_EQ(g_asked, c.asked);
    EXPECT_EQ(Pauses(), c.pauses);
    EXPECT_EQ(Said(), c.said);
  }
}

TEST_F(WaitTest, DrivePulledOutWhileWaiting_AskedNoMore) {
  Answer pulled = kHeld;
  pulled.pullsOutE = true;
  Script({kHeld, pulled});
  EXPECT_EQ(RunConsole(u"/V /W E:"), kExitFailure);
  EXPECT_EQ(g_asked, (std::vector<int>{5, 5}));
  EXPECT_EQ(Pauses(), Seconds(2));
  EXPECT_EQ(Said(), kHeldE + Waits(u'E', 60) + kHeldE);
}

TEST_F(WaitTest, OlderLibrary_AsksOnceAsWithoutTheSwitch) {
  InstallPullcore(kLibraryPath, testing::kExportOriginal);
  EXPECT_EQ(RunConsole(u"/W H:"), kExitSuccess);  // refused: H: is held
  process->stdoutBytes.clear();
  EXPECT_EQ(RunConsole(u"/M /W F:"), kExitSuccess);
  EXPECT_EQ(Said(), u"ドライブ F: のメディアを取り出せませんでした。\n");
  EXPECT_EQ(world->calls.Count("RemoveHardwareDrive"), 1u);
  EXPECT_TRUE(Pauses().empty());
  EXPECT_EQ(world->calls.Count("GetSystemTimeAsFileTime"), 0u);
}

TEST_F(WaitTest, Windowless_OneBoxPerDriveAtTheEnd) {
  Script({kHeld, {1}, kHeld});
  EXPECT_EQ(RunWindowless(u"/V /W:1 EF"), kExitFailure);
  EXPECT_EQ(process->messageBoxes,
            (std::vector<SimMessageBox>{
                {u"ドライブ E: は安全に取り外せます。", u"Ejectra", kMbIconInformation},
                {u"ドライブ F: は使用中のため、取り外せませんでした。\n  C:\\notes.exe (プロセス ID 4242)",
                 u"Ejectra", kMbIconWarning}}));
}

}  // namespace
}  // namespace ejectra::tools
