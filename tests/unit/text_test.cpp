#include <gtest/gtest.h>

#include "platform/text.h"
#include "shared/drive.h"

namespace ejectra {
namespace {

using namespace platform;

TEST(EqualsIgnoringAsciiCase, FoldsOnlyTheLettersAToZ) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase(u"\\Device\\HarddiskVolume3", u"\\DEVICE\\harddiskvolume3"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"ä", u"Ä"));          // U+00E4 / U+00C4
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"ｕｓｂ", u"ＵＳＢ"));  // full-width letters
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"@", u"`"));          // 'A' - 1 and 'a' - 1
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"[", u"{"));          // 'Z' + 1 and 'z' + 1
}

TEST(EqualsIgnoringAsciiCase, ComparesWholeTexts) {
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"abc", u"abcd"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"abc ", u"abc"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase(u"", u""));
}

TEST(TextFromUtf16le, StopsAtTheFirstZeroUnitAndIgnoresAnOddByte) {
  const unsigned char bytes[] = {'A', 0, 0x42, 0x30, 0, 0, 'C', 0};
  EXPECT_EQ(TextFromUtf16le(bytes, sizeof bytes), u"A\u3042");
  EXPECT_EQ(TextFromUtf16le(bytes, 3), u"A");  // a half unit is not read
  EXPECT_EQ(TextFromUtf16le(bytes, 0), u"");
}

TEST(Utf16le, EncodesAndDecodesEveryUnitNulsIncluded) {
  const std::vector<std::uint8_t> bytes = EncodeUtf16le(u"A\u3042", true);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'A', 0, 0x42, 0x30, 0, 0}));
  EXPECT_EQ(DecodeUtf16le(bytes.data(), bytes.size()), std::u16string(u"A\u3042\0", 3));
  EXPECT_EQ(DecodeUtf16le(bytes.data(), 5), u"A\u3042");
}

TEST(FormatGuid, WritesUpperCaseHexInBraces) {
  EXPECT_EQ(FormatGuid(Guid{0xE0D32790, 0x51A4, 0x4CC1, {0xA6, 0x53, 0x1F, 0xFC, 0x43, 0x49, 0x12, 0x5B}}),
            u"{E0D32790-51A4-4CC1-A653-1FFC4349125B}");
  EXPECT_EQ(FormatGuid(Guid{1, 2, 3, {0, 0, 0, 0, 0, 0, 0, 0xA}}), u"{00000001-0002-0003-0000-00000000000A}");
}

TEST(Drive, IsMadeOnlyFromOneToTwentySixOrALetter) {
  EXPECT_EQ(Drive::FromNumber(1)->Letter(), u'A');
  EXPECT_EQ(Drive::FromNumber(26)->Letter(), u'Z');
  for (const int outside : {0, 27, -1, 64, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
    EXPECT_FALSE(Drive::FromNumber(outside)) << outside;
  }
  EXPECT_EQ(Drive::FromLetter(u'e'), Drive::FromLetter(u'E'));
  for (const char16_t outside : {u'@', u'[', u'`', u'{', u':', u'\uFF25'}) {
    EXPECT_FALSE(Drive::FromLetter(outside)) << int(outside);
  }
}

TEST(Drive, SpeaksTheThreeFormsOfTheSameDrive) {
  const Drive e = *Drive::FromLetter(u'E');
  EXPECT_EQ(e.Number(), 5);
  EXPECT_EQ(e.Bit(), 1u << 4);
  EXPECT_EQ(e.Name(), u"E:");
  EXPECT_TRUE(e.In(0x10));
  EXPECT_FALSE(e.In(~0x10u));
  EXPECT_EQ(Drive::FromNumber(26)->Bit(), 1u << 25);
}

TEST(DrivesIn, ListsTheMasksDrivesFromAAndNothingAboveZ) {
  const std::vector<Drive> drives = DrivesIn(0xFC000000u | (1u << 25) | (1u << 2) | 1u);
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].Letter(), u'A');
  EXPECT_EQ(drives[1].Letter(), u'C');
  EXPECT_EQ(drives[2].Letter(), u'Z');
  EXPECT_TRUE(DrivesIn(0).empty());
}

}  // namespace
}  // namespace ejectra
