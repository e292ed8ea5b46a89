#include <gtest/gtest.h>

#include "shared/message_format.h"

namespace ejectra {
namespace {

TEST(FormatMessageTemplate, FillsEachDirectiveWithItsArgument) {
  EXPECT_EQ(FormatMessageTemplate(u"ドライブ %c: は", {u'E'}), u"ドライブ E: は");
  EXPECT_EQ(FormatMessageTemplate(u"\"%s\"", {std::u16string_view(u"USB Device")}), u"\"USB Device\"");
  EXPECT_EQ(FormatMessageTemplate(u"Version %d.%02d", {std::int64_t{1}, std::int64_t{5}}), u"Version 1.05");
  EXPECT_EQ(FormatMessageTemplate(u"%d.%02d", {std::int64_t{1}, std::int64_t{110}}), u"1.110");
  EXPECT_EQ(FormatMessageTemplate(u"%04x%04x", {std::int64_t{0x411}, std::int64_t{0x4b0}}), u"041104b0");
  EXPECT_EQ(FormatMessageTemplate(u"%d%%", {std::int64_t{-42}}), u"-42%");
}

TEST(FormatMessageTemplate, LeavesDirectivesItCannotFillAsWritten) {
  // A text never stands in for a character, nor a character for a text.
  EXPECT_EQ(FormatMessageTemplate(u"%c", {std::u16string_view(u"text")}), u"%c");
  EXPECT_EQ(FormatMessageTemplate(u"%s", {u'E'}), u"%s");
  EXPECT_EQ(FormatMessageTemplate(u"%s and %s", {std::u16string_view(u"one")}), u"one and %s");
  EXPECT_EQ(FormatMessageTemplate(u"%n %p %x %", {}), u"%n %p %x %");
  EXPECT_EQ(FormatMessageTemplate(u"100%", {u'E'}), u"100%");
  EXPECT_EQ(FormatMessageTemplate(u"%02s", {std::u16string_view(u"x")}), u"%02s");
}

TEST(FormatMessageTemplate, WidthIsOneDigitFromOneToNineAfterAZero) {
  const std::int64_t five = 5;
  EXPECT_EQ(FormatMessageTemplate(u"%01d|%09d", {five, five}), u"5|000000005");
  EXPECT_EQ(FormatMessageTemplate(u"%09x", {std::int64_t{0xab}}), u"0000000ab");
  EXPECT_EQ(FormatMessageTemplate(u"%00d", {five}), u"%00d");   // no width of zero
  EXPECT_EQ(FormatMessageTemplate(u"%0d", {five}), u"%0d");     // a zero without a width
  EXPECT_EQ(FormatMessageTemplate(u"%2d", {five}), u"%2d");     // a width without its zero
  EXPECT_EQ(FormatMessageTemplate(u"%010d", {five}), u"%010d"); // two digits of width
  EXPECT_EQ(FormatMessageTemplate(u"%02d", {std::int64_t{-5}}), u"-05");
}

TEST(FormatMessageTemplate, CopiesArgumentsVerbatim) {
  const std::u16string_view tricky = u"%s %c %% \0 end";
  EXPECT_EQ(FormatMessageTemplate(u"[%s]", {tricky}), u"[" + std::u16string(tricky) + u"]");
}

}  // namespace
}  // namespace ejectra
