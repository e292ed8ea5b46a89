#include "wizard/bitmap_choice.h"

namespace ejectra::wizard {

namespace {

constexpr int kBaseDpi = 96;

// pixels * numerator / denominator, rounded to the nearest (all positive).
int Proportional(int pixels, int numerator, int denominator) {
  return static_cast<int>((2LL * pixels * numerator + denominator) / (2LL * denominator));
}

}  // namespace

int PixelsAtDpi(int pixels, int dpi) {
  return dpi <= kBaseDpi ? pixels : Proportional(pixels, dpi, kBaseDpi);
}

BitmapChoice ChooseBitmap(const WizardBitmap& bitmap, int dpi) {
  if (dpi <= kBaseDpi) return {bitmap.resource, bitmap.width, bitmap.height, false};
  const int width = PixelsAtDpi(bitmap.width, dpi);
  const int height = PixelsAtDpi(bitmap.height, dpi);
  const bool scaled = width != 2 * bitmap.width || height != 2 * bitmap.height;
  return {bitmap.largeResource, width, height, scaled};
}

BitmapChoice FitBitmap(const BitmapChoice& choice, int width, int height) {
  if (choice.width <= width && choice.height <= height) return choice;
  // Scaled by the smaller of width / choice.width and height / choice.height.
  BitmapChoice fitted = choice;
  fitted.scaled = true;
  if (1LL * width * choice.height <= 1LL * height * choice.width) {
    fitted.width = width;
    fitted.height = Proportional(choice.height, width, choice.width);
  } else {
    fitted.height = height;
    fitted.width = Proportional(choice.width, height, choice.height);
  }
  return fitted;
}

}  // namespace ejectra::wizard
