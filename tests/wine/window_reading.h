// Reading the windows of another process from outside, for the Wine test
// programs: class names, whole texts, escaped one-line texts, screen
// pixels, and the icon a message box shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace window_reading {

inline constexpr UINT kMessageTimeoutMs = 2000;
inline constexpr DWORD kPollMs = 50;
inline constexpr ULONGLONG kIconWaitMs = 5000;

// A backslash is written \\, a line feed \n, a carriage return \r and a tab
// \t, so that any text fits on one line.
inline std::wstring Escape(const std::wstring& text) {
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

inline std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The text of a window of another process, whole, through WM_GETTEXT with a
// buffer as large as WM_GETTEXTLENGTH says (at least 64 KiB characters), and
// with a time limit, so that a hung program cannot stop the reader.
inline std::wstring WindowText(HWND window) {
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

// What the screen shows now in `area` (screen coordinates).
inline Pixels CaptureScreen(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  Canvas canvas(width, height);
  if (!canvas.ok()) return {};
  const HDC screen = GetDC(nullptr);
  BitBlt(canvas.dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return canvas.Read();
}

// How many pixels differ by more than a little in some channel; more than
// either holds when the sizes differ.
inline std::size_t DifferingPixels(const Pixels& a, const Pixels& b) {
  if (a.data.size() != b.data.size()) return a.data.size() + b.data.size();
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
  return differing;
}

// The static control that shows a message box's icon: the first child of
// class Static with the SS_ICON style.
inline HWND IconControl(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
      return child;
    }
  }
  return nullptr;
}

// A system icon drawn as the static control draws it: on the dialog
// background, stretched to the control's client area.
inline Pixels DrawSystemIcon(LPCWSTR id, int width, int height) {
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

// The icon a message box shows: error, warning, information, question,
// none or unknown. The box is painted by its own process, and an icon
// handle of another process cannot be asked about, so this compares the
// screen with the system icons drawn here, waiting up to kIconWaitMs for
// the box to be painted.
inline std::wstring IconKind(HWND box) {
  const HWND control = IconControl(box);
  if (!control || !IsWindowVisible(control)) return L"none";
  // A box without an icon keeps the static, empty: its icon handle is 0.
  DWORD_PTR icon = 0;
  if (SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &icon) &&
      icon == 0) {
    return L"none";
  }
  RECT client = {};
  GetClientRect(control, &client);
  MapWindowPoints(control, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return L"none";

  struct Candidate {
    const wchar_t* name;
    LPCWSTR id;
    Pixels pixels;
  };
  std::vector<Candidate> candidates = {
      {L"error", IDI_HAND, {}},           {L"warning", IDI_EXCLAMATION, {}},
      {L"information", IDI_ASTERISK, {}}, {L"question", IDI_QUESTION, {}},
      {L"none", nullptr, {}}};
  for (auto& candidate : candidates) candidate.pixels = DrawSystemIcon(candidate.id, width, height);

  const ULONGLONG start = GetTickCount64();
  std::wstring seen = L"unknown";
  do {
    const Pixels shown = CaptureScreen(client);
    const Candidate* best = nullptr;
    std::size_t fewest = shown.data.size() + 1;
    for (const auto& candidate : candidates) {
      const std::size_t differing = DifferingPixels(candidate.pixels, shown);
      if (differing < fewest) {
        fewest = differing;
        best = &candidate;
      }
    }
    // At most 2 % of the pixels may differ.
    seen = (best && !shown.data.empty() && fewest * 50 <= shown.data.size()) ? best->name
                                                                           : L"unknown";
    // A plain background may be a box not yet painted: only an icon ends the wait.
    if (seen != L"unknown" && seen != L"none") return seen;
    Sleep(kPollMs);
  } while (GetTickCount64() - start < kIconWaitMs && IsWindow(box));
  return seen;
}

}  // namespace window_reading
