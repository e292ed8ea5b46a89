#include <gtest/gtest.h>

#include "shared/text.h"

namespace ejectra {
namespace {

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

TEST(TextFromBytes, StopsAtTheFirstZeroUnitAndIgnoresAnOddByte) {
  const unsigned char bytes[] = {'A', 0, 0x42, 0x30, 0, 0, 'C', 0};
  EXPECT_EQ(TextFromBytes(bytes, sizeof bytes), u"A\u3042");
  EXPECT_EQ(TextFromBytes(bytes, 3), u"A");  // a half unit is not read
  EXPECT_EQ(TextFromBytes(bytes, 0), u"");
}

TEST(DriveLetter, AnswersOnlyForOneToTwentySix) {
  EXPECT_EQ(DriveLetter(1), u'A');
  EXPECT_EQ(DriveLetter(26), u'Z');
  for (const int outside : {0, 27, -1, 64, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
    EXPECT_FALSE(DriveLetter(outside)) << outside;
  }
}

}  // namespace
}  // namespace ejectra
