// The resource IDs of the wizard's pages: their dialog templates and the
// controls on them (the strings are in wizard/message_ids.h). The resource
// script carries the same numbers.
#pragma once

namespace ejectra::wizard::ids {

// Dialog templates, one per page, in page order.
enum Dialog : int {
  kDlgWelcome = 16,
  kDlgConnectDrives = 179,
  kDlgProcessSelection = 181,
  kDlgSelectDrive = 178,
  kDlgShortcut = 176,
  kDlgConfirmMore = 180,
  kDlgFinish = 156,
};

// Controls.
enum Control : int {
  kIdcAutomatic = 1000,       // method page: shortcuts for every drive
  kIdcManual = 1001,          // method page: choose a drive
  kIdcDriveList = 1002,       // drive list page: the list view
  kIdcChangeIcon = 1003,      // shortcut page
  kIdcComment = 1006,         // shortcut page: edit
  kIdcName = 1007,            // shortcut page: edit
  kIdcIconPreview = 1008,     // shortcut page: icon static
  kIdcBackToDriveList = 1010, // more-or-quit page
  kIdcQuit = 1011,            // more-or-quit page
  kIdcDetails = 1015,         // welcome page: opens the About box
  kIdcTitle = 1021,           // welcome and finish pages: the bold title
};

}  // namespace ejectra::wizard::ids
