#include <gtest/gtest.h>

#include <string>

#include "platform/shell_services.h"
#include "wizard/shortcut_path.h"

namespace ejectra::wizard {
namespace {

using platform::kMaxPath;

constexpr char16_t kDesktop[] = u"C:\\Users\\user\\Desktop";

TEST(ForbiddenCharacters, EachOfTheNine_IsForbidden) {
  for (const char16_t c : std::u16string(u"\\/:*?\"<>|")) {
    EXPECT_TRUE(HasForbiddenCharacter(std::u16string(u"ab") + c + u"cd")) << static_cast<int>(c);
  }
}

TEST(ForbiddenCharacters, OrdinaryName_HasNone) {
  EXPECT_FALSE(HasForbiddenCharacter(u"Eドライブ 取り外し"));
  EXPECT_FALSE(HasForbiddenCharacter(u"USB 2.0 Disk (E) #1 'x' [y] {z} ~!@$%^&=+;,"));
  EXPECT_FALSE(HasForbiddenCharacter(u""));
}

TEST(ForbiddenCharacters, Replace_EachBecomesOneSpace) {
  EXPECT_EQ(ReplaceForbiddenCharacters(u"a\\b/c:d*e?f\"g<h>i|j"), u"a b c d e f g h i j");
  EXPECT_EQ(ReplaceForbiddenCharacters(u"SD/MMC"), u"SD MMC");
  EXPECT_EQ(ReplaceForbiddenCharacters(u"Eドライブ"), u"Eドライブ");
}

TEST(PathAppend, FolderAndName_JoinWithOneBackslash) {
  EXPECT_EQ(PathAppend(u"C:\\Users\\user\\Desktop", u"a.lnk"), u"C:\\Users\\user\\Desktop\\a.lnk");
  EXPECT_EQ(PathAppend(u"C:\\Program Files\\Ejectra\\", u"Ejectra.exe"),
            u"C:\\Program Files\\Ejectra\\Ejectra.exe");
  EXPECT_EQ(PathAppend(u"C:\\", u"a"), u"C:\\a");
  EXPECT_EQ(PathAppend(u"C:\\x\\", u"\\a"), u"C:\\x\\a");
}

TEST(PathAppend, EmptyFolder_IsTheName) { EXPECT_EQ(PathAppend(u"", u"Ejectra.exe"), u"Ejectra.exe"); }

TEST(PathAddExtension, NameWithExtension_IsKeptAsTyped) {
  EXPECT_EQ(PathAddExtension(u"C:\\D\\Stick.old", u".lnk"), u"C:\\D\\Stick.old");
  EXPECT_EQ(PathAddExtension(u"C:\\D\\report.txt", u".lnk"), u"C:\\D\\report.txt");
}

TEST(PathAddExtension, DotFollowedBySpace_GetsTheExtension) {
  EXPECT_EQ(PathAddExtension(u"C:\\D\\USB 2.0 Disk", u".lnk"), u"C:\\D\\USB 2.0 Disk.lnk");
}

TEST(PathAddExtension, NameWithoutDot_GetsTheExtension) {
  EXPECT_EQ(PathAddExtension(u"C:\\D\\Eドライブ 取り外し", u".lnk"), u"C:\\D\\Eドライブ 取り外し.lnk");
}

TEST(PathAddExtension, DotInAFolderOnly_GetsTheExtension) {
  EXPECT_EQ(PathAddExtension(u"C:\\a.b\\Stick", u".lnk"), u"C:\\a.b\\Stick.lnk");
}

TEST(PathAddExtension, AlreadyLnk_GetsNoSecondExtension) {
  EXPECT_EQ(PathAddExtension(u"C:\\D\\a.lnk", u".lnk"), u"C:\\D\\a.lnk");
}

TEST(PathAddExtension, ResultReaching260_IsUnchanged) {
  const std::u16string fits(kMaxPath - 5, u'x');  // 255 + 4 = 259
  EXPECT_EQ(PathAddExtension(fits, u".lnk"), fits + u".lnk");
  const std::u16string full(kMaxPath - 4, u'x');  // 256 + 4 = 260
  EXPECT_EQ(PathAddExtension(full, u".lnk"), full);
}

TEST(ShortcutName, EmptyOrOnlyDotsAndBlanks_IsNotUsable) {
  for (const char16_t* name : {u"", u".", u"..", u"...", u" ", u"  ", u" . ", u". .."}) {
    EXPECT_FALSE(IsUsableShortcutName(name)) << std::u16string_view(name).size() << " characters";
  }
}

TEST(ShortcutName, OrdinaryNames_AreUsable) {
  for (const char16_t* name : {u"a", u".a", u"a.", u" a ", u"..a", u"Eドライブ 取り外し"}) {
    EXPECT_TRUE(IsUsableShortcutName(name));
  }
}

TEST(ShortcutName, ForbiddenCharacter_IsNotUsable) { EXPECT_FALSE(IsUsableShortcutName(u"..\\a")); }

TEST(ShortcutFileName, OrdinaryName_IsOnTheDesktopWithLnk) {
  EXPECT_EQ(ShortcutFileName(kDesktop, u"Eドライブ 取り外し"),
            u"C:\\Users\\user\\Desktop\\Eドライブ 取り外し.lnk");
  EXPECT_EQ(ShortcutFileName(kDesktop, u"Stick.old"), u"C:\\Users\\user\\Desktop\\Stick.old");
}

TEST(ShortcutFileName, EmptyOrOnlyDotsAndBlanks_HasNone) {
  for (const char16_t* name : {u"", u".", u"..", u" ", u" . "}) {
    EXPECT_EQ(ShortcutFileName(kDesktop, name), std::nullopt);
  }
}

// The file's whole path may take 259 characters, MAX_PATH with its
// terminator, whether ".lnk" is added or the typed name keeps its own
// extension.
TEST(ShortcutFileName, PathOf259Fits_260And261HaveNone) {
  const std::u16string folder = std::u16string(kDesktop) + u"\\";
  for (const std::size_t length : {std::size_t{259}, std::size_t{260}, std::size_t{261}}) {
    const std::u16string stem(length - folder.size() - 4, u'n');
    const auto expected = [&](std::u16string_view extension) -> std::optional<std::u16string> {
      if (length >= kMaxPath) return std::nullopt;
      return folder + stem + std::u16string(extension);
    };
    EXPECT_EQ(ShortcutFileName(kDesktop, stem), expected(u".lnk")) << length;
    EXPECT_EQ(ShortcutFileName(kDesktop, stem + u".old"), expected(u".old")) << length;
  }
}

TEST(ShortcutFileName, NoRoomForLnk_HasNone) {
  const std::size_t room = kMaxPath - 1 - std::u16string_view(kDesktop).size() - 1;
  EXPECT_EQ(ShortcutFileName(kDesktop, std::u16string(room - 3, u'n')), std::nullopt);
  EXPECT_EQ(ShortcutFileName(kDesktop, std::u16string(room, u'n')), std::nullopt);
  EXPECT_EQ(ShortcutFileName(kDesktop, std::u16string(room + 100, u'n')), std::nullopt);
}

}  // namespace
}  // namespace ejectra::wizard
