#include "wizard/win32/wizard_bitmaps.h"

#include <utility>

namespace ejectra::wizard::win32 {

using platform::win32::kGdi;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueMemoryDc;

namespace {

// `source` drawn into a new top-down 24-bit DIB section of width x height.
UniqueBitmap Scaled(HBITMAP source, int width, int height) {
  BITMAP size{};
  if (!::GetObjectW(source, sizeof size, &size)) return UniqueBitmap(kGdi);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap target(kGdi, ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueMemoryDc from(kGdi, ::CreateCompatibleDC(nullptr));
  const UniqueMemoryDc to(kGdi, ::CreateCompatibleDC(nullptr));
  if (!target || !from || !to) return UniqueBitmap(kGdi);
  const HGDIOBJ fromBefore = ::SelectObject(from.get(), source);
  const HGDIOBJ toBefore = ::SelectObject(to.get(), target.get());
  ::SetStretchBltMode(to.get(), HALFTONE);
  ::SetBrushOrgEx(to.get(), 0, 0, nullptr);  // as HALFTONE asks after the mode is set
  const bool drawn = ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, size.bmWidth,
                                  size.bmHeight, SRCCOPY);
  ::SelectObject(to.get(), toBefore);
  ::SelectObject(from.get(), fromBefore);
  return drawn ? std::move(target) : UniqueBitmap(kGdi);
}

}  // namespace

int ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  if (!screen) return 0;
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

UniqueBitmap LoadWizardBitmap(HINSTANCE module, const BitmapChoice& choice) {
  UniqueBitmap loaded(kGdi, ::LoadBitmapW(module, MAKEINTRESOURCEW(choice.resource)));
  if (!choice.scaled || !loaded) return loaded;
  UniqueBitmap scaled = Scaled(loaded.get(), choice.width, choice.height);
  return scaled ? std::move(scaled) : std::move(loaded);
}

}  // namespace ejectra::wizard::win32
