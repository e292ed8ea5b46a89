// The owners of what GDI hands out: bitmaps and fonts (DeleteObject) and
// memory device contexts (DeleteDC), each a UniqueOwner whose seam is the
// one Win32Gdi, `kGdi`.
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace ejectra::platform::win32 {

class Win32Gdi {
 public:
  void DeleteObject(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
  void DeleteDC(HDC dc) const noexcept { ::DeleteDC(dc); }
};

inline constexpr Win32Gdi kGdi{};

template <typename Object>
struct GdiObjectTraits {
  using Seam = const Win32Gdi;
  using Value = Object;
  static constexpr Value kEmpty = nullptr;
  static void Close(Seam& gdi, Value object) noexcept { gdi.DeleteObject(object); }
};
using UniqueBitmap = UniqueOwner<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueOwner<GdiObjectTraits<HFONT>>;

struct MemoryDcTraits {
  using Seam = const Win32Gdi;
  using Value = HDC;
  static constexpr Value kEmpty = nullptr;
  static void Close(Seam& gdi, Value dc) noexcept { gdi.DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueOwner<MemoryDcTraits>;

}  // namespace ejectra::platform::win32
