// The string table IDs of EjectraWizard (wizard/messages.inc).
#pragma once

#include <cstdint>

namespace ejectra::wizard {

enum MessageId : std::uint32_t {
  kMsgAboutMenuItem = 101,     // the menu item that opens the About box
  kMsgShortcutName = 1001,     // %c: the drive letter
  kMsgShortcutComment = 1002,  // %s (%s): the device's name and description

  // Each page's caption, header title and header subtitle (the two exterior
  // pages show no header).
  kMsgWelcomeCaption = 1200,
  kMsgWelcomeTitle = 1201,
  kMsgWelcomeSubtitle = 1202,
  kMsgFinishCaption = 1203,
  kMsgFinishTitle = 1204,
  kMsgFinishSubtitle = 1205,
  kMsgConnectCaption = 1206,
  kMsgConnectTitle = 1207,
  kMsgConnectSubtitle = 1208,
  kMsgMethodCaption = 1209,
  kMsgMethodTitle = 1210,
  kMsgMethodSubtitle = 1211,
  kMsgDriveCaption = 1212,
  kMsgDriveTitle = 1213,
  kMsgDriveSubtitle = 1214,
  kMsgCreateCaption = 1215,
  kMsgCreateTitle = 1216,
  kMsgCreateSubtitle = 1217,
  kMsgActionCaption = 1218,
  kMsgActionTitle = 1219,
  kMsgActionSubtitle = 1220,

  // The drive list's columns.
  kMsgColumnDrive = 1300,
  kMsgColumnDeviceName = 1301,
  kMsgColumnDescription = 1302,

  kMsgForbiddenCharacter = 11001,
  kMsgNoRemovableDrive = 11002,
  kMsgShortcutFailed = 12001,
  kMsgProductName = 57344,  // the caption of every message box
};

}  // namespace ejectra::wizard
