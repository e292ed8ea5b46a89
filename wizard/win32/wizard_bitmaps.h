// The wizard's bitmaps for the screen's DPI: the 96-DPI drawing as it is,
// or the 192-DPI drawing scaled to the size that wizard::ChooseBitmap names.
#pragma once

#include <windows.h>

#include "platform/win32/win32_gdi.h"
#include "wizard/bitmap_choice.h"

namespace ejectra::wizard::win32 {

// The DPI the screen's device context reports (the system DPI for a
// program that is system aware).
int ScreenDpi();

// The bitmap for `dpi`, loaded with LoadBitmapW, then scaled when the choice
// asks for it (HALFTONE, into a 24-bit DIB section). A scaling that fails
// leaves the drawing unscaled; null when it could not be loaded.
platform::win32::UniqueBitmap LoadWizardBitmap(HINSTANCE module, const BitmapChoice& choice);

}  // namespace ejectra::wizard::win32
