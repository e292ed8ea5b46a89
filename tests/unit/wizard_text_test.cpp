#include <gtest/gtest.h>

#include "wizard/about_text.h"
#include "wizard/message_ids.h"
#include "wizard/message_table.h"

namespace ejectra::wizard {
namespace {

platform::VsFixedFileInfo FileVersion(std::uint32_t ms, std::uint32_t ls) {
  platform::VsFixedFileInfo info{};
  info.dwFileVersionMS = ms;
  info.dwFileVersionLS = ls;
  info.dwProductVersionMS = 0x00090009;  // never shown
  return info;
}

TEST(VersionLine, TwoDigitMinor_IsShownAsItIs) {
  EXPECT_EQ(VersionLine(FileVersion(0x0001000A, 0x00700000)), u"Version 1.10 (1.10.112.0)");
}

TEST(VersionLine, OneDigitMinor_IsPaddedOnlyInTheShortForm) {
  EXPECT_EQ(VersionLine(FileVersion(0x00010002, 0x00000005)), u"Version 1.02 (1.2.0.5)");
}

TEST(VersionLine, LargestNumbers_AreShownWhole) {
  EXPECT_EQ(VersionLine(FileVersion(0xFFFFFFFF, 0xFFFFFFFF)),
            u"Version 65535.65535 (65535.65535.65535.65535)");
}

TEST(WizardMessageTable, ForbiddenCharacterMessage_HasTheQuoteRightBeforeTheLessThanSign) {
  EXPECT_EQ(WizardMessageTable().at(kMsgForbiddenCharacter),
            u"ショートカット名に / : * ? \"< > | は使えません。");
}

TEST(WizardMessageTable, Templates_TakeTheirArgumentsInOrder) {
  EXPECT_EQ(WizardMessageTable().at(kMsgShortcutName), u"%cドライブ 取り外し");
  EXPECT_EQ(WizardMessageTable().at(kMsgShortcutComment), u"%s (%s) を取り外します。");
}

TEST(WizardMessageTable, EveryId_HasItsText) {
  const MessageTable& table = WizardMessageTable();
  EXPECT_EQ(table.size(), 31u);
  EXPECT_EQ(table.at(kMsgAboutMenuItem), u"Ejectra について(&A)...");
  EXPECT_EQ(table.at(kMsgWelcomeCaption), u"Ejectra - ショートカット作成ウィザード");
  EXPECT_EQ(table.at(kMsgWelcomeTitle), u"Ejectra へようこそ");
  EXPECT_EQ(table.at(kMsgWelcomeSubtitle), u"Ejectra へようこそ");
  EXPECT_EQ(table.at(kMsgFinishCaption), u"Ejectra - ショートカット作成ウィザードのご利用ありがとうございました");
  EXPECT_EQ(table.at(kMsgFinishTitle), u"Ejectra");
  EXPECT_EQ(table.at(kMsgFinishSubtitle), u"Ejectra");
  EXPECT_EQ(table.at(kMsgConnectSubtitle), u"USBやIEEE1394接続のドライブを接続します。");
  EXPECT_EQ(table.at(kMsgDriveSubtitle), u"ショートカットを作成したいドライブを選択します。");
  EXPECT_EQ(table.at(kMsgActionSubtitle), u"処理を選択してください。");
  EXPECT_EQ(table.at(kMsgColumnDescription), u"説明");
  EXPECT_EQ(table.at(kMsgNoRemovableDrive), u"取り外し可能なドライブが見つかりませんでした。");
  EXPECT_EQ(table.at(kMsgShortcutFailed), u"ショートカットの作成に失敗しました。");
  EXPECT_EQ(table.at(kMsgProductName), u"Ejectra");
}

}  // namespace
}  // namespace ejectra::wizard
