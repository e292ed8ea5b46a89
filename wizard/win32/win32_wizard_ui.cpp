#include "wizard/win32/win32_wizard_ui.h"

#include <windows.h>
// windows.h first
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/wide.h"
#include "wizard/win32/about_box.h"

namespace ejectra::wizard::win32 {

using platform::win32::Utf16;
using platform::win32::Wide;

namespace {

HWND Window(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }

constexpr int kIconPathCapacity = 260;  // MAX_PATH, as PickIconDlg's buffer
constexpr WORD kPickIconDlgOrdinal = 62;
using PickIconDlgProc = int(WINAPI*)(HWND owner, PWSTR path, UINT capacity, int* index);

}  // namespace

void Win32WizardUi::RunAboutBox(platform::WindowHandle owner) {
  CAboutDlg(modules_, version_, dpi_).DoModal(Window(owner));
}

void Win32WizardUi::SetBoldTitleFont(platform::WindowHandle page, int id) {
  const HWND window = Window(page);
  if (!boldFont_) {
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(dialogFont, sizeof font, &font);
    const HDC dc = ::GetDC(window);
    font.lfHeight = -::MulDiv(13, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    ::ReleaseDC(window, dc);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    boldFont_.reset(::CreateFontIndirectW(&font));
  }
  ::SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
}

void Win32WizardUi::ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                             int index) {
  HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), Wide(path.c_str()),
                              static_cast<UINT>(index));
  if (reinterpret_cast<UINT_PTR>(icon) == 1) icon = nullptr;  // 1: the file is no image file
  const auto previous = reinterpret_cast<HICON>(
      ::SendDlgItemMessageW(Window(page), id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
  if (previous) ::DestroyIcon(previous);
}

bool Win32WizardUi::PickIcon(platform::WindowHandle page, std::u16string& path, int& index) {
  const HMODULE shell = ::LoadLibraryW(L"SHELL32.DLL");
  if (!shell) return false;
  const auto pick = reinterpret_cast<PickIconDlgProc>(reinterpret_cast<void*>(
      ::GetProcAddress(shell, MAKEINTRESOURCEA(kPickIconDlgOrdinal))));
  bool picked = false;
  if (pick) {
    wchar_t buffer[kIconPathCapacity] = {};
    std::copy_n(Wide(path.c_str()), std::min<std::size_t>(path.size(), kIconPathCapacity - 1),
                buffer);
    int chosen = index;
    if (pick(Window(page), buffer, kIconPathCapacity, &chosen)) {
      path = Utf16(buffer);
      index = chosen;
      picked = true;
    }
  }
  ::FreeLibrary(shell);
  return picked;
}

}  // namespace ejectra::wizard::win32
