// Where ejectrac's words go: a console window gets its UTF-16 text, a file,
// a pipe or NUL the ANSI code-page bytes with CR LF, /J UTF-8 bytes always.
#include <gtest/gtest.h>

#include "platform/sim/utf.h"
#include "tests/support/tool_fixture.h"
#include "tools/message_ids.h"

namespace ejectra::tools {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::kBanner;

class ConsoleOutputTest : public testing::ToolTest {
 protected:
  // A fresh sample machine with only C: and F: present, and the given output.
  void Use(SimStdout output) {
    UseMachine(SampleMachine());
    process->logicalDrives = (1u << 2) | (1u << 5);
    process->standardOutput = output;
  }
  int RunOn(SimStdout output, std::u16string_view arguments) {
    Use(output);
    return RunConsole(arguments);
  }
};

constexpr char16_t kListing[] = u"[F:] Generic- SD/MMC USB Device ( USB 大容量記憶装置 )\n";

// The bytes of `text` through the simulated code page, each LF as CR LF.
std::string StreamBytes(std::u16string_view text) {
  std::string bytes;
  for (const char c : Utf16ToUtf8(text)) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return bytes;
}

TEST_F(ConsoleOutputTest, List_ConsoleThenFileAndPipe_ConsoleGetsTextFileAndPipeKeepTheirBytes) {
  const std::u16string said = std::u16string(kBanner) + kListing;
  EXPECT_EQ(RunOn(SimStdout::kConsole, u"/L"), kExitSuccess);
  EXPECT_EQ(process->consoleText, said);  // LF line ends, as given
  EXPECT_EQ(process->stdoutBytes, "");
  EXPECT_EQ(world->calls.Count("GetFileType"), 1u);  // asked once for the run
  for (const SimStdout output : {SimStdout::kFile, SimStdout::kPipe}) {
    EXPECT_EQ(RunOn(output, u"/L"), kExitSuccess);
    EXPECT_EQ(process->stdoutBytes, StreamBytes(said));
    EXPECT_EQ(process->consoleText, u"");
    EXPECT_EQ(world->calls.Count("GetConsoleMode") + world->calls.Count("WriteConsoleW"), 0u);
  }
}

TEST_F(ConsoleOutputTest, List_CharacterDeviceThatIsNoConsole_GetsTheBytes) {
  EXPECT_EQ(RunOn(SimStdout::kNul, u"/L"), kExitSuccess);
  EXPECT_EQ(process->stdoutBytes, StreamBytes(std::u16string(kBanner) + kListing));
  EXPECT_EQ(world->calls.Count("GetConsoleMode"), 1u);
  EXPECT_EQ(world->calls.Count("WriteConsoleW"), 0u);
}

TEST_F(ConsoleOutputTest, List_ConsoleRefusesOneText_ThatTextAloneFallsBackToBytes) {
  Use(SimStdout::kConsole);
  world->calls.Fail("WriteConsoleW", kErrorInvalidHandle);  // the banner
  EXPECT_EQ(RunConsole(u"/L"), kExitSuccess);
  EXPECT_EQ(process->stdoutBytes, StreamBytes(kBanner));
  EXPECT_EQ(process->consoleText, kListing);
}

TEST_F(ConsoleOutputTest, Json_OnAConsole_StaysUtf8Bytes) {
  EXPECT_EQ(RunOn(SimStdout::kConsole, u"/J"), kExitSuccess);
  EXPECT_TRUE(process->stdoutBytes.starts_with("[{\"drive\":\"F:\"")) << process->stdoutBytes;
  EXPECT_EQ(process->consoleText, u"");
}

}  // namespace
}  // namespace ejectra::tools
