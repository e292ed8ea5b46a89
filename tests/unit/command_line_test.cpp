#include <gtest/gtest.h>

#include "platform/sim/command_line.h"
#include "tools/unplug_tool.h"

namespace ejectra::tools {
namespace {

using platform::sim::SplitCommandLine;
using Args = std::vector<std::u16string>;

TEST(SplitCommandLine, FollowsThePlatformsQuotingRules) {
  EXPECT_EQ(SplitCommandLine(u"ejectrac"), (Args{u"ejectrac"}));
  EXPECT_EQ(SplitCommandLine(u"\"C:\\Program Files\\x.exe\" a  b\t c"),
            (Args{u"C:\\Program Files\\x.exe", u"a", u"b", u"c"}));
  EXPECT_EQ(SplitCommandLine(u"x \"A: B:\" /D \"Generic USB\""),
            (Args{u"x", u"A: B:", u"/D", u"Generic USB"}));
  EXPECT_EQ(SplitCommandLine(u"x a\\\\\"b c\" d\\e \\\"q"),
            (Args{u"x", u"a\\b c", u"d\\e", u"\"q"}));
  EXPECT_EQ(SplitCommandLine(u"x \"\" \"a\"\"b\""), (Args{u"x", u"", u"a\"b"}));
  EXPECT_EQ(SplitCommandLine(u"x   "), (Args{u"x"}));
}

TEST(ParseDriveList, TakesLettersInAnyCaseAndSkipsColons) {
  std::uint32_t mask = 0xDEAD;
  EXPECT_TRUE(ParseDriveList(u"E:", mask));
  EXPECT_EQ(mask, 1u << 4);
  EXPECT_TRUE(ParseDriveList(u"a::B:bA", mask));
  EXPECT_EQ(mask, 3u);
  EXPECT_TRUE(ParseDriveList(u"Z", mask));
  EXPECT_EQ(mask, 1u << 25);
  EXPECT_TRUE(ParseDriveList(u"", mask));
  EXPECT_EQ(mask, 0u);
  mask = 7;
  EXPECT_TRUE(ParseDriveList(u":", mask));
  EXPECT_EQ(mask, 0u);
}

TEST(ParseDriveList, RejectsAnythingElseAndKeepsTheMask) {
  for (const char16_t* bad : {u"A: B:", u"/X", u"1", u"E:\\", u"Ｅ", u"é", u"@", u"[", u"`", u"{"}) {
    std::uint32_t mask = 0x55;
    EXPECT_FALSE(ParseDriveList(bad, mask));
    EXPECT_EQ(mask, 0x55u);
  }
}

struct Parsed {
  bool ok;
  UnplugOptions options;
};

Parsed Parse(std::u16string_view commandLine) {
  Parsed p;
  p.ok = ParseArguments(SplitCommandLine(commandLine), p.options);
  return p;
}

TEST(ParseArguments, Grammar) {
  EXPECT_FALSE(Parse(u"t").ok);  // nothing asked: usage

  Parsed p = Parse(u"t /b /S ab");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.options.mode, UnplugMode::ModeDrives);
  EXPECT_EQ(p.options.driveMask, 3u);
  EXPECT_TRUE(p.options.balloon);
  EXPECT_TRUE(p.options.skipAbsent);

  p = Parse(u"t A: B:");  // only the first drive list counts
  EXPECT_EQ(p.options.driveMask, 1u);
  p = Parse(u"t A: /B");  // nor does a switch after it
  EXPECT_FALSE(p.options.balloon);
  EXPECT_FALSE(Parse(u"t \"A: B:\"").ok);
  EXPECT_FALSE(Parse(u"t /BS").ok);
  EXPECT_FALSE(Parse(u"t /?").ok);
  EXPECT_FALSE(Parse(u"t /D").ok);

  p = Parse(u"t /D /B");  // the name is taken verbatim, even a switch
  EXPECT_EQ(p.options.mode, UnplugMode::ModeDevice);
  EXPECT_EQ(p.options.deviceName, u"/B");
  EXPECT_FALSE(p.options.balloon);
  p = Parse(u"t -d SanDisk Cruzer Blade");
  EXPECT_EQ(p.options.deviceName, u"SanDisk");
  p = Parse(u"t /D \"\"");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.options.deviceName, u"");

  p = Parse(u"t /L A:");
  EXPECT_EQ(p.options.mode, UnplugMode::ModeList);
  EXPECT_EQ(p.options.driveMask, 0u);
  p = Parse(u"t A: /L");
  EXPECT_EQ(p.options.mode, UnplugMode::ModeDrives);

  p = Parse(u"t /B /s");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.options.mode, UnplugMode::ModeNone);
  p = Parse(u"t :");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.options.mode, UnplugMode::ModeDrives);
  EXPECT_EQ(p.options.driveMask, 0u);
  p = Parse(u"t \"\"");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.options.mode, UnplugMode::ModeDrives);
}

}  // namespace
}  // namespace ejectra::tools
