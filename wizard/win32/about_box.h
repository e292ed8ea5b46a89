// The About box (dialog 135): the version and copyright lines from the
// program's own version resource, and a link to the maker's home page.
#pragma once

#include <windows.h>

#include <string>

#include "platform/process_services.h"
#include "platform/win32/win32_gdi.h"

namespace ejectra::wizard::win32 {


// A static control (SS_NOTIFY) shown as a link: its text underlined in blue,
// red while the left button is down, over the dialog's background, with
// the hand cursor. It captures the mouse while the pointer is over it.
class CLinkStatic {
 public:
  // Subclasses `control`; the link lives until the control is destroyed.
  static void Attach(HWND control);

 private:
  static LRESULT CALLBACK Proc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR, DWORD_PTR self);
  void Paint(HWND control);

  platform::win32::UniqueFont underlined_{platform::win32::kGdi};
  bool pressed_ = false;
};

class CAboutDlg {
 public:
  // `dpi`: the screen's, for the banner.
  CAboutDlg(platform::Modules& modules, platform::VersionInfo& version, int dpi)
      : modules_(modules), version_(version), dpi_(dpi) {}
  INT_PTR DoModal(HWND owner);

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND dialog);
  void ShowBannerForDpi(HWND dialog);

  platform::Modules& modules_;
  platform::VersionInfo& version_;
  int dpi_;
  HWND mainWindow_ = nullptr;  // the window the link's browser is started for
  // Above 96 DPI: the banner drawn for the screen, and the one the template
  // gave the static, which it hands back; both go when the box has gone.
  platform::win32::UniqueBitmap banner_{platform::win32::kGdi};
  platform::win32::UniqueBitmap templateBanner_{platform::win32::kGdi};
};

}  // namespace ejectra::wizard::win32
