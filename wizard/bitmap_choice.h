// Which drawing of one of the wizard's bitmaps a screen of a given DPI gets,
// and the size it is shown at; and the wizard's other sizes in pixels at that
// DPI. Each bitmap is drawn for 96 DPI and again, twice as large, for 192 DPI.
#pragma once

namespace ejectra::wizard {

struct WizardBitmap {
  int resource;       // the 96-DPI drawing
  int width, height;  // its size in pixels
  int largeResource;  // the 192-DPI drawing, twice the size
};

inline constexpr WizardBitmap kHeaderBitmap{132, 575, 58, 232};
inline constexpr WizardBitmap kWatermarkBitmap{133, 579, 295, 233};
inline constexpr WizardBitmap kAboutBanner{147, 404, 59, 247};

struct BitmapChoice {
  int resource;       // the bitmap to load
  int width, height;  // the size to show it at
  bool scaled;        // false: shown as loaded, at its own size
};

// 96 DPI or less (or a DPI not known, 0): the 96-DPI drawing as it is.
// More: the 192-DPI drawing, at the 96-DPI size times dpi / 96, rounded to
// the nearest pixel; at 192 DPI exactly that is its own size, unscaled.
BitmapChoice ChooseBitmap(const WizardBitmap& bitmap, int dpi);

// A size in pixels laid out for 96 DPI, at `dpi`: as it is at 96 DPI or
// less (or a DPI not known, 0), else times dpi / 96, rounded to the nearest.
int PixelsAtDpi(int pixels, int dpi);

// The choice shrunk to fit a box of width x height, its proportions kept
// (for a control that clips what is larger); as it is when it fits.
BitmapChoice FitBitmap(const BitmapChoice& choice, int width, int height);

}  // namespace ejectra::wizard
