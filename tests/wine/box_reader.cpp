// Watches for the message boxes of other programs, writes down each one and
// answers it with OK, so that a test can run a program that speaks only in
// message boxes and check what it said.
//
//   box_reader SECONDS [STOPFILE]
//
// Every 50 ms it looks for visible top-level dialog windows (class #32770).
// For each new one it writes one line to standard output, as UTF-8:
//
//   BOX<TAB>caption<TAB>icon<TAB>text
//
// icon is error, warning, information, question, none or unknown: the icon
// the box shows, found by comparing its pixels on the screen with the system
// icons drawn here. In caption and text a backslash is written \\, a line
// feed \n, a carriage return \r and a tab \t, so that each box is one line.
// Then it closes the box with WM_COMMAND/IDOK.
//
// It ends after SECONDS seconds without a new box, or as soon as STOPFILE (a
// Windows path) exists, and then writes END<TAB>idle or END<TAB>stopped.
#include <windows.h>

#include "tests/wine/utf8_line.h"
#include "tests/wine/window_reading.h"

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using window_reading::ClassName;
using window_reading::Escape;
using window_reading::IconKind;
using window_reading::kPollMs;
using window_reading::WindowText;

constexpr int kTextControlId = 0xFFFF;

struct Search {
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() && IsWindowVisible(window) &&
      ClassName(window) == L"#32770") {
    reinterpret_cast<Search*>(param)->boxes.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> VisibleBoxes() {
  Search search;
  EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
  return search.boxes;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
  for (const HWND w : windows) {
    if (w == window) return true;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3 || !std::iswdigit(argv[1][0])) {
    WriteUtf8Line(L"usage: box_reader SECONDS [STOPFILE]");
    return 2;
  }
  const ULONGLONG idleMs = std::wcstoull(argv[1], nullptr, 10) * 1000;
  const wchar_t* stopFile = argc == 3 ? argv[2] : nullptr;

  // Boxes already answered; a box stays here while its window exists, so
  // that a box still closing is not written twice.
  std::vector<HWND> answered;
  ULONGLONG lastNew = GetTickCount64();
  for (;;) {
    const bool stopping = stopFile && GetFileAttributesW(stopFile) != INVALID_FILE_ATTRIBUTES;

    std::vector<HWND> stillThere;
    for (const HWND box : answered) {
      if (IsWindow(box)) stillThere.push_back(box);
    }
    answered.swap(stillThere);

    for (const HWND box : VisibleBoxes()) {
      if (Contains(answered, box)) continue;
      std::vector<wchar_t> captionBuffer(4096, L'\0');
      const int captionLength =
          GetWindowTextW(box, captionBuffer.data(), static_cast<int>(captionBuffer.size()));
      const std::wstring caption(captionBuffer.data(), captionLength > 0 ? captionLength : 0);
      const HWND textControl = GetDlgItem(box, kTextControlId);
      const std::wstring text = textControl ? WindowText(textControl) : L"";
      const std::wstring icon = IconKind(box);
      WriteUtf8Line(L"BOX\t" + Escape(caption) + L"\t" + icon + L"\t" + Escape(text));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      answered.push_back(box);
      lastNew = GetTickCount64();
    }

    if (stopping) {
      WriteUtf8Line(L"END\tstopped");
      return 0;
    }
    if (GetTickCount64() - lastNew >= idleMs) {
      WriteUtf8Line(L"END\tidle");
      return 0;
    }
    Sleep(kPollMs);
  }
}
