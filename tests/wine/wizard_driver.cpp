// Drives EjectraWizard.exe from outside, for the Wine tests: each run finds
// the wizard's windows, does one thing, and writes what it found as UTF-8
// lines.
//
//   wizard_driver wait-sheet [MS]        the sheet's handle, once it is shown
//   wizard_driver dialogs                the kinds of the wizard's dialogs shown, topmost first
//   wizard_driver title                  the sheet's title
//   wizard_driver buttons                "back=B next=N finish=F cancel=C", 1 = enabled
//   wizard_driver press BUTTON           back, next, finish or cancel (posted)
//   wizard_driver page                   the IDs of the current page's controls
//   wizard_driver click ID               BM_CLICK on a control of the current page (posted)
//   wizard_driver checked ID             its BM_GETCHECK
//   wizard_driver text ID                its text
//   wizard_driver set-text ID TEXT       gives it TEXT; the text it then holds
//   wizard_driver rows                   the drive list's rows, a line each, cells between tabs
//   wizard_driver row-point N            "X Y": the screen point in the middle of row N
//   wizard_driver syscommand VALUE       WM_SYSCOMMAND VALUE to the sheet (posted)
//   wizard_driver box [MS]               the message box: "caption<TAB>icon<TAB>text", answered OK
//   wizard_driver about [MS]             the About box: "caption<TAB>version<TAB>copyright", closed
//   wizard_driver screenshot-ready [MS]  "ready" once the screen has stopped changing
//   wizard_driver banner                 the About box's banner as shown: "WxH in WxH", the
//                                        part of its static not in the dialog's colour, and
//                                        the static's size
//   wizard_driver blue WHERE             "X0 Y0 X1 Y1": where the sheet shows blue (its
//                                        bitmaps' picture), right and bottom excluded, in
//                                        the watermark's strip (the left 164 pixels above the
//                                        buttons) or the header (right of the middle, above
//                                        the page)
//   wizard_driver shell-open FILE [MS]   opens FILE through the shell; "ended N" once the N
//                                        processes the shell started for it have ended
//
// The windows are the dialogs of a process whose program is
// EjectraWizard.exe: the sheet is the one with a Next button, the About box
// the one with the version and copyright lines, a message box any other
// with a message text. MS bounds the wait for the window (the sheet waits
// kSheetWaitMs). Texts are escaped as window_reading::Escape does. The exit
// code is 0, 1 when a window was not found (the line says "none") or
// could not be read, and 2 for a bad command line. Rows and row points are
// read through memory placed in the wizard's process, so the driver must
// be built for the wizard's processor.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "tests/wine/utf8_line.h"
#include "tests/wine/window_reading.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using namespace window_reading;

constexpr DWORD kSheetWaitMs = 1000;
constexpr DWORD kCloseWaitMs = 10000;
constexpr DWORD kBoxWaitMs = 10000;
constexpr DWORD kReadyWaitMs = 5000;
constexpr DWORD kShellRunWaitMs = 60000;
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr int kDriveList = 1002;
constexpr int kAboutVersion = 1010;
constexpr int kAboutCopyright = 1011;
constexpr int kBoxText = 0xFFFF;
constexpr int kItemChars = 1024;
// The screen is still when two captures 200 ms apart differ in no more
// pixels than a blinking caret covers.
constexpr DWORD kStillIntervalMs = 200;
constexpr std::size_t kCaretPixels = 64;

int Usage() {
  WriteUtf8Line(L"usage: wizard_driver COMMAND [ARGUMENTS] (see wizard_driver.cpp)");
  return 2;
}

int NotFound() {
  WriteUtf8Line(L"none");
  return 1;
}

int Failed(const std::wstring& what) {
  WriteUtf8Line(L"error: " + what);
  return 1;
}

DWORD Number(const wchar_t* text) { return std::wcstoul(text, nullptr, 0); }

bool IsWizardProcess(DWORD id) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return false;
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  const wchar_t* name = std::wcsrchr(path, L'\\');
  return named && _wcsicmp(name ? name + 1 : path, L"EjectraWizard.exe") == 0;
}

BOOL CALLBACK CollectWizardDialog(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (IsWindowVisible(window) && ClassName(window) == L"#32770" && IsWizardProcess(process)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

bool IsSheet(HWND dialog) { return GetDlgItem(dialog, kNextButton) != nullptr; }

bool IsAbout(HWND dialog) {
  return !IsSheet(dialog) && GetDlgItem(dialog, kAboutVersion) &&
         GetDlgItem(dialog, kAboutCopyright);
}

bool IsMessageBox(HWND dialog) {
  return !IsSheet(dialog) && !IsAbout(dialog) && GetDlgItem(dialog, kBoxText);
}

std::vector<HWND> WizardDialogs() {
  std::vector<HWND> dialogs;
  EnumWindows(CollectWizardDialog, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

// The first visible wizard dialog of the kind, waiting up to `waitMs`.
HWND FindDialog(bool (*kind)(HWND), DWORD waitMs) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    for (const HWND dialog : WizardDialogs()) {
      if (kind(dialog)) return dialog;
    }
    if (GetTickCount64() - start >= waitMs) return nullptr;
    Sleep(kPollMs);
  }
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                      &result);
  return static_cast<LRESULT>(result);
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Control `id` of the current page, or none.
HWND PageControl(HWND sheet, int id) {
  const HWND page = CurrentPage(sheet);
  return page ? GetDlgItem(page, id) : nullptr;
}

// Posts WM_COMMAND/IDOK to a dialog and waits for it to go: once it has, the
// modal loop that showed it has ended. Says so when it is still there after
// kCloseWaitMs.
int AnswerOk(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  const ULONGLONG start = GetTickCount64();
  while (IsWindow(dialog)) {
    if (GetTickCount64() - start >= kCloseWaitMs) return Failed(L"the dialog is still open");
    Sleep(kPollMs);
  }
  return 0;
}

// Memory placed in the process that owns `window`, for messages whose
// parameter points to memory the receiver reads and writes (list view items
// and rectangles). Refused when the two processes differ in bitness, since
// the structures would then differ too.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, SIZE_T size) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                               PROCESS_QUERY_LIMITED_INFORMATION,
                           FALSE, id);
    BOOL ours = FALSE;
    BOOL theirs = FALSE;
    if (process_ && IsWow64Process(GetCurrentProcess(), &ours) &&
        IsWow64Process(process_, &theirs) && ours == theirs) {
      address_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(SIZE_T offset) const { return address_ + offset; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
};

// The text of one cell: an LVITEMW followed by its text buffer, in the
// list's process.
std::wstring CellText(HWND list, RemoteMemory& memory, int row, int column) {
  LVITEMW item = {};
  item.iSubItem = column;
  item.cchTextMax = kItemChars;
  item.pszText = reinterpret_cast<LPWSTR>(memory.at(sizeof item));
  std::vector<wchar_t> text(kItemChars, L'\0');
  if (!memory.Write(0, &item, sizeof item) ||
      !memory.Write(sizeof item, text.data(), text.size() * sizeof(wchar_t))) {
    return L"";
  }
  Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at(0)));
  memory.Read(sizeof item, text.data(), text.size() * sizeof(wchar_t));
  text.back() = L'\0';
  return text.data();
}

int Rows(HWND sheet) {
  const HWND list = PageControl(sheet, kDriveList);
  if (!list) return NotFound();
  RemoteMemory memory(list, sizeof(LVITEMW) + kItemChars * sizeof(wchar_t));
  if (!memory.ok()) return Failed(L"no memory in the wizard's process");
  const auto header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  const int rows = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    std::wstring line;
    for (int column = 0; column < columns; ++column) {
      line += (column ? L"\t" : L"") + Escape(CellText(list, memory, row, column));
    }
    WriteUtf8Line(line);
  }
  return 0;
}

// The middle of the row's visible part, on the screen.
int RowPoint(HWND sheet, int row) {
  const HWND list = PageControl(sheet, kDriveList);
  if (!list) return NotFound();
  RemoteMemory memory(list, sizeof(RECT));
  if (!memory.ok()) return Failed(L"no memory in the wizard's process");
  RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
  if (!memory.Write(0, &bounds, sizeof bounds) ||
      !Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
            reinterpret_cast<LPARAM>(memory.at(0))) ||
      !memory.Read(0, &bounds, sizeof bounds)) {
    return NotFound();
  }
  RECT client = {};
  RECT visible = {};
  GetClientRect(list, &client);
  if (!IntersectRect(&visible, &bounds, &client)) return NotFound();
  POINT middle = {(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2};
  MapWindowPoints(list, HWND_DESKTOP, &middle, 1);
  WriteUtf8Line(std::to_wstring(middle.x) + L" " + std::to_wstring(middle.y));
  return 0;
}

int Buttons(HWND sheet) {
  auto enabled = [sheet](int id) {
    const HWND button = GetDlgItem(sheet, id);
    return std::to_wstring(button && IsWindowEnabled(button) ? 1 : 0);
  };
  WriteUtf8Line(L"back=" + enabled(kBackButton) + L" next=" + enabled(kNextButton) +
                L" finish=" + enabled(kFinishButton) + L" cancel=" + enabled(IDCANCEL));
  return 0;
}

int Press(HWND sheet, const std::wstring& name) {
  const struct {
    const wchar_t* name;
    int button;
  } buttons[] = {{L"back", PSBTN_BACK}, {L"next", PSBTN_NEXT}, {L"finish", PSBTN_FINISH},
                 {L"cancel", PSBTN_CANCEL}};
  for (const auto& button : buttons) {
    if (name == button.name) {
      // Posted: what the press opens (a message box) must not hold the driver.
      PostMessageW(sheet, PSM_PRESSBUTTON, button.button, 0);
      WriteUtf8Line(L"pressed " + name);
      return 0;
    }
  }
  return Usage();
}

int Page(HWND sheet) {
  const HWND page = CurrentPage(sheet);
  if (!page) return NotFound();
  std::wstring ids;
  for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id != -1 && id != 0xFFFF) ids += (ids.empty() ? L"" : L" ") + std::to_wstring(id);
  }
  WriteUtf8Line(ids);
  return 0;
}

// "sheet", "about", "box" or "other" for each dialog shown, topmost first.
int Dialogs() {
  std::wstring kinds;
  for (const HWND dialog : WizardDialogs()) {
    const wchar_t* kind = IsSheet(dialog)        ? L"sheet"
                          : IsAbout(dialog)      ? L"about"
                          : IsMessageBox(dialog) ? L"box"
                                                 : L"other";
    kinds += (kinds.empty() ? L"" : L" ") + std::wstring(kind);
  }
  WriteUtf8Line(kinds);
  return 0;
}

int Box(DWORD waitMs) {
  const HWND box = FindDialog(IsMessageBox, waitMs);
  if (!box) return NotFound();
  const std::wstring caption = WindowText(box);
  const std::wstring text = WindowText(GetDlgItem(box, kBoxText));
  const std::wstring icon = IconKind(box);
  WriteUtf8Line(Escape(caption) + L"\t" + icon + L"\t" + Escape(text));
  return AnswerOk(box);
}

int About(DWORD waitMs) {
  const HWND about = FindDialog(IsAbout, waitMs);
  if (!about) return NotFound();
  WriteUtf8Line(Escape(WindowText(about)) + L"\t" +
                Escape(WindowText(GetDlgItem(about, kAboutVersion))) + L"\t" +
                Escape(WindowText(GetDlgItem(about, kAboutCopyright))));
  return AnswerOk(about);
}

// Waits for the wizard's dialogs to have handled what was sent to them and
// for the screen to hold still.
int ScreenshotReady(DWORD waitMs) {
  for (const HWND dialog : WizardDialogs()) Send(dialog, WM_NULL, 0, 0);
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Pixels last = CaptureScreen(screen);
  for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < waitMs;) {
    Sleep(kStillIntervalMs);
    Pixels now = CaptureScreen(screen);
    if (DifferingPixels(last, now) <= kCaretPixels) {
      WriteUtf8Line(L"ready");
      return 0;
    }
    last = std::move(now);
  }
  return Failed(L"the screen keeps changing");
}

// The box [x0, x1) x [y0, y1) around the pixels of `area` (screen
// coordinates) that `counts`, relative to the area; all 0 when none does.
RECT Extent(const RECT& area, bool (*counts)(std::uint32_t rgb)) {
  const Pixels shown = CaptureScreen(area);
  RECT box = {shown.width, shown.height, 0, 0};
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      if (!counts(shown.data[static_cast<std::size_t>(y) * shown.width + x])) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    }
  }
  return box.right ? box : RECT{};
}

RECT ScreenClient(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

bool NotFace(std::uint32_t rgb) {
  const COLORREF face = GetSysColor(COLOR_3DFACE);
  return rgb != static_cast<std::uint32_t>((GetRValue(face) << 16) | (GetGValue(face) << 8) |
                                          GetBValue(face));
}

bool Blue(std::uint32_t rgb) { return (rgb & 0xFF) >= ((rgb >> 16) & 0xFF) + 60; }

int Banner() {
  const HWND about = FindDialog(IsAbout, kBoxWaitMs);
  const HWND banner = about ? GetWindow(about, GW_CHILD) : nullptr;
  if (!banner) return NotFound();
  Send(about, WM_NULL, 0, 0);  // its painting done
  const RECT area = ScreenClient(banner);
  const RECT shown = Extent(area, NotFace);
  WriteUtf8Line(std::to_wstring(shown.right - shown.left) + L"x" +
                std::to_wstring(shown.bottom - shown.top) + L" in " +
                std::to_wstring(area.right - area.left) + L"x" +
                std::to_wstring(area.bottom - area.top));
  return 0;
}

constexpr int kWatermarkStrip = 164;  // pixels: as much of the watermark as the frame shows

int BlueExtent(HWND sheet, const std::wstring& where) {
  Send(sheet, WM_NULL, 0, 0);
  RECT area = ScreenClient(sheet);
  RECT below = {};
  if (where == L"watermark") {
    GetWindowRect(GetDlgItem(sheet, kNextButton), &below);
    area.right = std::min<LONG>(area.right, area.left + kWatermarkStrip);
  } else if (where == L"header") {
    GetWindowRect(CurrentPage(sheet), &below);
    area.left += (area.right - area.left) / 2;
  } else {
    return Usage();
  }
  area.bottom = below.top;
  const RECT box = Extent(area, Blue);
  WriteUtf8Line(std::to_wstring(box.left) + L" " + std::to_wstring(box.top) + L" " +
                std::to_wstring(box.right) + L" " + std::to_wstring(box.bottom));
  return 0;
}

// The number of processes in `job`, or -1.
int ActiveProcesses(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                 sizeof accounting, nullptr)) {
    return -1;
  }
  return static_cast<int>(accounting.ActiveProcesses);
}

// The programs of the processes in `job` other than the driver, each after a blank.
std::wstring ProcessNames(HANDLE job) {
  struct {
    JOBOBJECT_BASIC_PROCESS_ID_LIST list;
    ULONG_PTR more[63];
  } ids = {};
  ids.list.NumberOfAssignedProcesses = 64;
  std::wstring names;
  if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) {
    return names;
  }
  for (ULONG i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
    const auto id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
    if (id == GetCurrentProcessId()) continue;
    wchar_t path[MAX_PATH] = L"?";
    DWORD size = MAX_PATH;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process) {
      QueryFullProcessImageNameW(process, 0, path, &size);
      CloseHandle(process);
    }
    names += L" " + std::wstring(path);
  }
  return names;
}

// Opens `file` as Explorer and `start` do, through ShellExecuteExW, and
// waits until whatever the shell started for it has ended. For a shortcut the
// shell hands back no process, so the driver first puts itself in a job:
// what the shell starts from here belongs to the job too, and the job's port
// reports each start and end. "ended N" once the N processes are gone (the
// driver alone is left in the job), "running N" when some still run after
// `waitMs`.
int ShellOpen(const wchar_t* file, DWORD waitMs) {
  // Wine starts its desktop process for the first program that asks for the
  // desktop window: started from inside the job, it would stay in it.
  GetDesktopWindow();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  const HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association = {job, port};
  if (!job || !port ||
      !SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &association,
                               sizeof association) ||
      !AssignProcessToJobObject(job, GetCurrentProcess())) {
    return Failed(L"no job for the shell's processes");
  }
  // As `start /unix` asks: the verb "open" on the file's final DOS path (Wine's
  // shell finds no handler for a shortcut named through Z: inside the
  // prefix), in the file's folder.
  std::wstring path = file;
  const HANDLE handle = CreateFileW(file, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    wchar_t resolved[MAX_PATH + 8] = {};
    const DWORD length = GetFinalPathNameByHandleW(handle, resolved, MAX_PATH + 8, VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length > 4 && length < MAX_PATH + 8 && std::wcsncmp(resolved, L"\\\\?\\", 4) == 0) {
      path = resolved + 4;
    }
  }
  std::wstring folder = path;
  folder.resize(folder.find_last_of(L'\\') == std::wstring::npos ? 0 : folder.find_last_of(L'\\'));
  SHELLEXECUTEINFOW execute = {};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
  execute.lpVerb = L"open";
  execute.lpFile = path.c_str();
  execute.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  execute.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&execute)) {
    return Failed(L"ShellExecuteExW: error " + std::to_wstring(GetLastError()));
  }

  // Takes the job's next message, waiting up to `ms` for it; counts the
  // processes started besides the driver.
  int started = 0;
  auto take = [&](DWORD ms) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED detail = nullptr;
    if (!GetQueuedCompletionStatus(port, &message, &key, &detail, ms)) return false;
    const auto process = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
    if (message == JOB_OBJECT_MSG_NEW_PROCESS && process != GetCurrentProcessId()) ++started;
    return true;
  };
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    while (take(0)) {
    }
    if (ActiveProcesses(job) <= 1) break;
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= waitMs) {
      WriteUtf8Line(L"running " + std::to_wstring(started) + L":" + ProcessNames(job));
      return 1;
    }
    take(static_cast<DWORD>(waitMs - waited));  // the next start or end in the job
  }
  while (take(0)) {
  }
  WriteUtf8Line(L"ended " + std::to_wstring(started));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  const wchar_t* first = argc > 2 ? argv[2] : nullptr;

  if (command == L"dialogs") return Dialogs();
  if (command == L"box") return Box(first ? Number(first) : kBoxWaitMs);
  if (command == L"about") return About(first ? Number(first) : kBoxWaitMs);
  if (command == L"banner") return Banner();
  if (command == L"screenshot-ready") return ScreenshotReady(first ? Number(first) : kReadyWaitMs);
  if (command == L"shell-open" && first) {
    return ShellOpen(first, argc > 3 ? Number(argv[3]) : kShellRunWaitMs);
  }

  const bool waiting = command == L"wait-sheet" && first;
  const HWND sheet = FindDialog(IsSheet, waiting ? Number(first) : kSheetWaitMs);
  if (!sheet) return NotFound();
  if (command == L"wait-sheet") {
    WriteUtf8Line(L"sheet " + std::to_wstring(reinterpret_cast<std::uintptr_t>(sheet)));
    return 0;
  }
  if (command == L"title") {
    WriteUtf8Line(Escape(WindowText(sheet)));
    return 0;
  }
  if (command == L"buttons") return Buttons(sheet);
  if (command == L"page") return Page(sheet);
  if (command == L"rows") return Rows(sheet);

  if (!first) return Usage();
  if (command == L"blue") return BlueExtent(sheet, first);
  if (command == L"row-point") return RowPoint(sheet, static_cast<int>(Number(first)));
  if (command == L"press") return Press(sheet, first);
  if (command == L"syscommand") {
    PostMessageW(sheet, WM_SYSCOMMAND, Number(first), 0);
    WriteUtf8Line(L"posted");
    return 0;
  }

  const HWND control = PageControl(sheet, static_cast<int>(Number(first)));
  if (command == L"click") {
    if (!control) return NotFound();
    PostMessageW(control, BM_CLICK, 0, 0);  // what the click opens must not hold the driver
    WriteUtf8Line(L"clicked " + std::wstring(first));
    return 0;
  }
  if (command == L"checked") {
    if (!control) return NotFound();
    WriteUtf8Line(std::to_wstring(Send(control, BM_GETCHECK, 0, 0)));
    return 0;
  }
  if (command == L"text") {
    if (!control) return NotFound();
    WriteUtf8Line(Escape(WindowText(control)));
    return 0;
  }
  if (command == L"set-text" && argc > 3) {
    if (!control) return NotFound();
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    WriteUtf8Line(Escape(WindowText(control)));
    return 0;
  }
  return Usage();
}
