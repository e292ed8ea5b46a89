#include "wizard/win32/about_box.h"

#include <shellapi.h>
#include <windowsx.h>

#include "platform/win32/common_controls.h"
#include "platform/win32/wide.h"
#include "shared/file_version_info.h"
#include "wizard/about_text.h"
#include "wizard/bitmap_choice.h"
#include "wizard/win32/wizard_bitmaps.h"

namespace ejectra::wizard::win32 {

using platform::win32::Wide;

namespace {

constexpr int kAboutDialog = 135;
constexpr int kVersionText = 1010;
constexpr int kCopyrightText = 1011;
constexpr int kLink = 1012;
constexpr COLORREF kLinkBlue = 0x00FF0000;
constexpr COLORREF kLinkRed = 0x000000FF;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

void CLinkStatic::Attach(HWND control) {
  if (control) ::SetWindowSubclass(control, Proc, 0, reinterpret_cast<DWORD_PTR>(new CLinkStatic));
}

// No exception leaves the two procedures: one that meets an exhausted memory
// answers as for a message it does not handle.
LRESULT CALLBACK CLinkStatic::Proc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR self) try {
  auto& link = *reinterpret_cast<CLinkStatic*>(self);
  switch (message) {
    case WM_PAINT:
      link.Paint(control);
      return 0;
    case WM_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE: {
      // While captured no WM_SETCURSOR comes: the link sets the hand itself.
      RECT client;
      ::GetClientRect(control, &client);
      if (!::PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
        if (::GetCapture() == control) ::ReleaseCapture();
      } else {
        if (::GetCapture() != control) ::SetCapture(control);
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      }
      break;
    }
    case WM_LBUTTONDOWN:
      ::SetCapture(control);
      link.pressed_ = true;
      ::InvalidateRect(control, nullptr, FALSE);
      break;  // the static sends STN_CLICKED
    case WM_LBUTTONUP:
      ::ReleaseCapture();
      break;
    case WM_CAPTURECHANGED:
      if (link.pressed_) {
        link.pressed_ = false;
        ::InvalidateRect(control, nullptr, FALSE);
      }
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(control, Proc, 0);
      delete &link;  // and its font
      break;
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
} catch (...) {
  return ::DefSubclassProc(control, message, wParam, lParam);
}

void CLinkStatic::Paint(HWND control) {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(control, &paint);
  if (!underlined_) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    font.lfUnderline = TRUE;
    underlined_.reset(::CreateFontIndirectW(&font));
  }
  // The background the dialog gives its statics, with the text over it.
  RECT client;
  ::GetClientRect(control, &client);
  if (const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
          ::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
          reinterpret_cast<LPARAM>(control)))) {
    ::FillRect(dc, &client, brush);
  }
  const HGDIOBJ previous = ::SelectObject(dc, underlined_.get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, pressed_ ? kLinkRed : kLinkBlue);
  const std::wstring text = WindowText(control);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, previous);
  ::EndPaint(control, &paint);
}

INT_PTR CAboutDlg::DoModal(HWND owner) {
  mainWindow_ = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAboutDialog), owner,
                           Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAboutDlg::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CAboutDlg*>(lParam)->OnInitDialog(dialog);
    return TRUE;
  }
  const auto* box = reinterpret_cast<CAboutDlg*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND || !box) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
      ::EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    case kLink:
      if (HIWORD(wParam) == STN_CLICKED) {
        const std::wstring address = WindowText(reinterpret_cast<HWND>(lParam));
        ::ShellExecuteW(box->mainWindow_, L"open", address.c_str(), nullptr, nullptr,
                        SW_SHOWNORMAL);
      }
      return TRUE;
  }
  return FALSE;
} catch (...) {
  return FALSE;
}

void CAboutDlg::OnInitDialog(HWND dialog) {
  const CFileVersionInfo info(modules_, version_, nullptr);
  if (const platform::VsFixedFileInfo* fixed = info.GetFixedFileInfo()) {
    ::SetDlgItemTextW(dialog, kVersionText, Wide(VersionLine(*fixed).c_str()));
    const char16_t* copyright = nullptr;
    std::uint32_t length = 0;
    if (info.QueryValue(u"LegalCopyright", &copyright, &length)) {
      ::SetDlgItemTextW(dialog, kCopyrightText, Wide(copyright));
    }
  }
  CLinkStatic::Attach(::GetDlgItem(dialog, kLink));
  ShowBannerForDpi(dialog);
}

// The template's banner is drawn for 96 DPI: on a larger screen the static
// shows the one drawn for the screen instead, as large as the box has grown
// but no larger than the static (which cuts off what does not fit).
void CAboutDlg::ShowBannerForDpi(HWND dialog) {
  const BitmapChoice choice = ChooseBitmap(kAboutBanner, dpi_);
  if (choice.resource == kAboutBanner.resource) return;
  const HWND banner = ::GetWindow(dialog, GW_CHILD);  // the template's first control
  if (!banner || (::GetWindowLongW(banner, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return;
  RECT area{};
  ::GetClientRect(banner, &area);
  banner_ = LoadWizardBitmap(::GetModuleHandleW(nullptr),
                             FitBitmap(choice, area.right - area.left, area.bottom - area.top));
  if (!banner_) return;
  templateBanner_.reset(reinterpret_cast<HBITMAP>(::SendMessageW(
      banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_.get()))));
}

}  // namespace ejectra::wizard::win32
