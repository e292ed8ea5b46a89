#include "platform/win32/win32_windows.h"

#include "platform/win32/common_controls.h"
// common_controls.h first: it brings windows.h
#include <prsht.h>

#include <string>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(kWmClose == WM_CLOSE && kIdCancel == IDCANCEL && kBstChecked == BST_CHECKED);
static_assert(kPsmSetWizButtons == PSM_SETWIZBUTTONS && kPswizbBack == PSWIZB_BACK &&
              kPswizbNext == PSWIZB_NEXT && kPswizbFinish == PSWIZB_FINISH);
static_assert(kLvsExFullRowSelect == LVS_EX_FULLROWSELECT && kLvcfmtLeft == LVCFMT_LEFT &&
              kLvniSelected == LVNI_SELECTED);
static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(std::uintptr_t) == sizeof(HBITMAP));

namespace {

HWND Window(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

LRESULT Send(WindowHandle window, UINT message, WPARAM wParam, const void* lParam) {
  return ::SendMessageW(Window(window), message, wParam, reinterpret_cast<LPARAM>(lParam));
}

}  // namespace

bool Win32Windows::PostMessageW(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  return ::PostMessageW(Window(window), message, wParam, lParam) != FALSE;
}

WindowHandle Win32Windows::GetParent(WindowHandle window) {
  return Handle(::GetParent(Window(window)));
}

WindowHandle Win32Windows::GetDlgItem(WindowHandle dialog, int id) {
  return Handle(::GetDlgItem(Window(dialog), id));
}

bool Win32Windows::EnableWindow(WindowHandle window, bool enable) {
  return ::EnableWindow(Window(window), enable) != FALSE;
}

bool Win32Windows::CheckRadioButton(WindowHandle dialog, int first, int last, int check) {
  return ::CheckRadioButton(Window(dialog), first, last, check) != FALSE;
}

std::uint32_t Win32Windows::IsDlgButtonChecked(WindowHandle dialog, int id) {
  return ::IsDlgButtonChecked(Window(dialog), id);
}

std::u16string Win32Windows::GetDlgItemTextW(WindowHandle dialog, int id) {
  const WindowHandle control = GetDlgItem(dialog, id);
  const auto length = static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, nullptr));
  std::u16string text(length + 1, u'\0');
  text.resize(static_cast<std::size_t>(Send(control, WM_GETTEXT, text.size(), text.data())));
  return text;
}

bool Win32Windows::SetDlgItemTextW(WindowHandle dialog, int id, const char16_t* text) {
  return ::SetDlgItemTextW(Window(dialog), id, Wide(text)) != FALSE;
}

void Win32Windows::Edit_LimitText(WindowHandle edit, int limit) {
  Send(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), nullptr);
}

bool Win32Windows::LockWindowUpdate(WindowHandle window) {
  return ::LockWindowUpdate(Window(window)) != FALSE;
}

std::uint32_t Win32Windows::ListView_GetExtendedListViewStyle(WindowHandle list) {
  return static_cast<std::uint32_t>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, nullptr));
}

void Win32Windows::ListView_SetExtendedListViewStyle(WindowHandle list, std::uint32_t style) {
  ::SendMessageW(Window(list), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

int Win32Windows::ListView_InsertColumn(WindowHandle list, int index, const char16_t* text,
                                        int format, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | (width != -1 ? LVCF_WIDTH : 0);  // -1: the default
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<LPWSTR>(Wide(text));
  return static_cast<int>(Send(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), &column));
}

bool Win32Windows::ListView_DeleteAllItems(WindowHandle list) {
  return Send(list, LVM_DELETEALLITEMS, 0, nullptr) != FALSE;
}

int Win32Windows::ListView_GetItemCount(WindowHandle list) {
  return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, nullptr));
}

int Win32Windows::ListView_InsertItem(WindowHandle list, int index, const char16_t* text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<LPWSTR>(Wide(text));
  return static_cast<int>(Send(list, LVM_INSERTITEMW, 0, &item));
}

bool Win32Windows::ListView_SetItemParam(WindowHandle list, int index, std::intptr_t param) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = param;
  return Send(list, LVM_SETITEMW, 0, &item) != FALSE;
}

std::intptr_t Win32Windows::ListView_GetItemParam(WindowHandle list, int index) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  return Send(list, LVM_GETITEMW, 0, &item) != FALSE ? item.lParam : 0;
}

bool Win32Windows::ListView_SetItemText(WindowHandle list, int index, int subItem,
                                        const char16_t* text) {
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<LPWSTR>(Wide(text));
  return Send(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), &item) != FALSE;
}

std::u16string Win32Windows::ListView_GetItemText(WindowHandle list, int index, int subItem) {
  // The message answers at most the room less one: a full buffer may have cut the text.
  std::u16string text;
  for (int room = 256;; room *= 2) {
    text.assign(static_cast<std::size_t>(room), u'\0');
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = Wide(text.data());
    item.cchTextMax = room;
    const auto length = Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), &item);
    if (length < room - 1 || room >= 0x10000) {
      text.resize(static_cast<std::size_t>(length));
      return text;
    }
  }
}

std::uint32_t Win32Windows::ListView_GetSelectedCount(WindowHandle list) {
  return static_cast<std::uint32_t>(Send(list, LVM_GETSELECTEDCOUNT, 0, nullptr));
}

int Win32Windows::ListView_GetNextItem(WindowHandle list, int start, std::uint32_t flags) {
  return static_cast<int>(::SendMessageW(Window(list), LVM_GETNEXTITEM, static_cast<WPARAM>(start),
                                         MAKELPARAM(flags, 0)));
}

// The frame: one PROPSHEETPAGEW per page, whose dialog procedure calls the
// page's hooks, and the sheet window dressed as the program's main window.
namespace {

constexpr DWORD kPshWizard97Old = 0x2000;  // PSH_WIZARD97 as comctl32 4.71 numbered it

// The frame being run: its look and the program's handler of system commands.
struct RunningFrame {
  const WizardFrameLook& look;
  const SystemCommandHandler& onSystemCommand;
};

// The frame whose sheet is being created. PropertySheetW is modal and its
// callback carries no context, so the running frame leaves itself here.
const RunningFrame* creating = nullptr;

// No exception leaves a procedure or callback of the system: one that meets
// an exhausted memory answers as for a message it does not handle.

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) try {
  const WindowHandle handle = Handle(window);
  if (message == WM_INITDIALOG) {
    auto* page = reinterpret_cast<WizardPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    page->OnInitDialog(handle);
    return TRUE;
  }
  auto* page = reinterpret_cast<WizardPage*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (!page) return FALSE;
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    page->OnCommand(handle, LOWORD(wParam));
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
  LONG_PTR result = 0;
  switch (notice.code) {
    case PSN_SETACTIVE:
      result = page->OnSetActive(handle) ? 0 : -1;
      break;
    case PSN_WIZNEXT:
      result = page->OnWizardNext(handle);
      break;
    case PSN_WIZFINISH:
      result = page->OnWizardFinish(handle) ? FALSE : TRUE;
      break;
    case NM_CLICK:
      page->OnClick(handle, static_cast<int>(notice.idFrom));
      return FALSE;
    default:
      return FALSE;
  }
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
} catch (...) {
  return FALSE;
}

LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) try {
  switch (message) {
    case WM_SYSCOMMAND: {
      const auto& running = *reinterpret_cast<const RunningFrame*>(data);
      if (running.onSystemCommand &&
          running.onSystemCommand(Handle(sheet), static_cast<std::uint32_t>(wParam))) {
        return 0;
      }
      break;
    }
    case WM_HELP:  // F1: the wizard has no help
      return TRUE;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(sheet, SheetProc, 0);
      break;
  }
  return ::DefSubclassProc(sheet, message, wParam, lParam);
} catch (...) {
  return ::DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) try {
  if (message == PSCB_PRECREATE) {
    // A DLGTEMPLATEEX starts with the words 1, 0xFFFF and holds its
    // extended style before its style; a DLGTEMPLATE the other way round.
    auto* words = reinterpret_cast<WORD*>(lParam);
    auto* fields = reinterpret_cast<DWORD*>(lParam);
    const bool extended = words[1] == 0xFFFF;
    fields[extended ? 3 : 0] |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    fields[extended ? 2 : 1] |= WS_EX_APPWINDOW;
  } else if (message == PSCB_INITIALIZED && creating) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    const wchar_t* text = nullptr;
    const WizardFrameLook& look = creating->look;
    const int length =
        ::LoadStringW(module, look.aboutItemText, reinterpret_cast<LPWSTR>(&text), 0);
    if (const HMENU menu = ::GetSystemMenu(sheet, FALSE); menu && length > 0) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(menu, MF_STRING, look.aboutCommand,
                    std::wstring(text, static_cast<std::size_t>(length)).c_str());
    }
    ::SendMessageW(sheet, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(::LoadIconW(module, MAKEINTRESOURCEW(look.icon))));
    ::SetWindowSubclass(sheet, SheetProc, 0, reinterpret_cast<DWORD_PTR>(creating));
  }
  return 0;
} catch (...) {
  return 0;
}

}  // namespace

std::intptr_t Win32WizardFrame::RunWizard(const std::vector<WizardPage*>& pages,
                                          const SystemCommandHandler& onSystemCommand) {
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  std::vector<PROPSHEETPAGEW> sheets(pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const WizardPage::Resources resources = pages[i]->Describe();
    PROPSHEETPAGEW& sheet = sheets[i];
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSP_USETITLE | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE |
                    (resources.hideHeader ? PSP_HIDEHEADER : 0);
    sheet.hInstance = module;
    sheet.pszTemplate = MAKEINTRESOURCEW(resources.dialog);
    sheet.pszTitle = MAKEINTRESOURCEW(resources.caption);
    sheet.pszHeaderTitle = MAKEINTRESOURCEW(resources.headerTitle);
    sheet.pszHeaderSubTitle = MAKEINTRESOURCEW(resources.headerSubtitle);
    sheet.pfnDlgProc = PageProc;
    sheet.lParam = reinterpret_cast<LPARAM>(pages[i]);
  }

  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | kPshWizard97Old | PSH_STRETCHWATERMARK |
                   PSH_USECALLBACK;
  if (look_.watermark) {
    header.dwFlags |= PSH_WATERMARK | PSH_USEHBMWATERMARK;
    header.hbmWatermark = reinterpret_cast<HBITMAP>(look_.watermark);
  }
  if (look_.header) {
    header.dwFlags |= PSH_HEADER | PSH_USEHBMHEADER;
    header.hbmHeader = reinterpret_cast<HBITMAP>(look_.header);
  }
  header.hInstance = module;
  header.nPages = static_cast<UINT>(sheets.size());
  header.ppsp = sheets.data();
  header.pfnCallback = SheetCallback;

  const RunningFrame running{look_, onSystemCommand};
  creating = &running;
  const INT_PTR result = ::PropertySheetW(&header);
  creating = nullptr;
  return result;
}

}  // namespace ejectra::platform::win32
