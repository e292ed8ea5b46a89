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

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kMessageTimeoutMs = 2000;
constexpr int kTextControlId = 0xFFFF;
constexpr ULONGLONG kIconWaitMs = 5000;

std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    switch (c) {
      case L'\\': out += L"\\\\"; break;
      case L'\n': out += L"\\n"; break;
      case L'\r': out += L"\\r"; break;
      case L'\t': out += L"\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The text of a window of another process, whole, through WM_GETTEXT with a
// buffer as large as WM_GETTEXTLENGTH says (at least 64 KiB characters), and
// with a time limit, so that a hung program cannot stop the reader.
std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    length = 0;
  }
  std::vector<wchar_t> buffer(length + 65536, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &copied)) {
    return L"";
  }
  return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
}

// The static control that shows the box's icon: the first child of class
// Static with the SS_ICON style.
HWND IconControl(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
      return child;
    }
  }
  return nullptr;
}

// Pixels as 0x00RRGGBB, width * height of them, from a 32-bit top-down DIB.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  bool ok() const { return bits_ != nullptr; }

  Pixels Read() const {
    GdiFlush();
    Pixels pixels{width_, height_, {}};
    const auto* words = static_cast<const std::uint32_t*>(bits_);
    pixels.data.assign(words, words + static_cast<std::size_t>(width_) * height_);
    for (auto& word : pixels.data) word &= 0x00FFFFFFu;
    return pixels;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// A system icon drawn as the static control draws it: on the dialog
// background, stretched to the control's client area.
Pixels DrawSystemIcon(LPCWSTR id, int width, int height) {
  Canvas canvas(width, height);
  if (!canvas.ok()) return {};
  RECT all = {0, 0, width, height};
  FillRect(canvas.dc(), &all, GetSysColorBrush(COLOR_3DFACE));
  if (id) {
    const HICON icon = LoadIconW(nullptr, id);
    DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  }
  return canvas.Read();
}

// What the screen shows of the control's client area now.
Pixels Capture(HWND control, int width, int height) {
  POINT origin = {0, 0};
  ClientToScreen(control, &origin);
  Canvas canvas(width, height);
  if (!canvas.ok()) return {};
  const HDC screen = GetDC(nullptr);
  BitBlt(canvas.dc(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return canvas.Read();
}

// The share of pixels that differ by more than a little in some channel.
double Difference(const Pixels& a, const Pixels& b) {
  if (a.data.empty() || a.data.size() != b.data.size()) return 1.0;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.data.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int x = static_cast<int>((a.data[i] >> shift) & 0xFF);
      const int y = static_cast<int>((b.data[i] >> shift) & 0xFF);
      if (x - y > 24 || y - x > 24) {
        ++differing;
        break;
      }
    }
  }
  return static_cast<double>(differing) / static_cast<double>(a.data.size());
}

// The icon the box shows, by its pixels: the box is painted by its own
// process, and an icon handle of another process cannot be asked about.
// Waits up to kIconWaitMs for the box to be painted.
std::wstring IconKind(HWND box) {
  const HWND control = IconControl(box);
  if (!control || !IsWindowVisible(control)) return L"none";
  RECT client = {};
  GetClientRect(control, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return L"none";

  struct Candidate {
    const wchar_t* name;
    LPCWSTR id;
    Pixels pixels;
  };
  std::vector<Candidate> candidates = {
      {L"error", IDI_HAND, {}},        {L"warning", IDI_EXCLAMATION, {}},
      {L"information", IDI_ASTERISK, {}}, {L"question", IDI_QUESTION, {}},
      {L"none", nullptr, {}}};
  for (auto& candidate : candidates) candidate.pixels = DrawSystemIcon(candidate.id, width, height);

  const ULONGLONG start = GetTickCount64();
  std::wstring seen = L"unknown";
  do {
    const Pixels shown = Capture(control, width, height);
    const Candidate* best = nullptr;
    double bestDifference = 1.0;
    for (const auto& candidate : candidates) {
      const double difference = Difference(candidate.pixels, shown);
      if (difference < bestDifference) {
        bestDifference = difference;
        best = &candidate;
      }
    }
    seen = (best && bestDifference <= 0.02) ? best->name : L"unknown";
    // A plain background may be a box not yet painted: only an icon ends the wait.
    if (seen != L"unknown" && seen != L"none") return seen;
    Sleep(kPollMs);
  } while (GetTickCount64() - start < kIconWaitMs && IsWindow(box));
  return seen;
}

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
