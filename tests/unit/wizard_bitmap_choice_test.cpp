#include <gtest/gtest.h>

#include "wizard/bitmap_choice.h"

namespace ejectra::wizard {
namespace {

void ExpectChoice(const BitmapChoice& choice, int resource, int width, int height, bool scaled) {
  EXPECT_EQ(choice.resource, resource);
  EXPECT_EQ(choice.width, width);
  EXPECT_EQ(choice.height, height);
  EXPECT_EQ(choice.scaled, scaled);
}

TEST(ChooseBitmap, At96Dpi_TheSmallDrawingAsItIs) {
  ExpectChoice(ChooseBitmap(kWatermarkBitmap, 96), 133, 579, 295, false);
  ExpectChoice(ChooseBitmap(kHeaderBitmap, 96), 132, 575, 58, false);
}

TEST(ChooseBitmap, BelowOrUnknownDpi_TheSmallDrawingAsItIs) {
  ExpectChoice(ChooseBitmap(kAboutBanner, 72), 147, 404, 59, false);
  ExpectChoice(ChooseBitmap(kAboutBanner, 0), 147, 404, 59, false);
}

TEST(ChooseBitmap, At144Dpi_TheLargeDrawingScaledToHalfAgainTheSmallSize) {
  ExpectChoice(ChooseBitmap(kWatermarkBitmap, 144), 233, 869, 443, true);  // 868.5, 442.5 up
  ExpectChoice(ChooseBitmap(kHeaderBitmap, 144), 232, 863, 87, true);
  ExpectChoice(ChooseBitmap(kAboutBanner, 144), 247, 606, 89, true);
}

TEST(ChooseBitmap, At192Dpi_TheLargeDrawingUnscaled) {
  ExpectChoice(ChooseBitmap(kAboutBanner, 192), 247, 808, 118, false);
}

TEST(ChooseBitmap, JustAbove96Dpi_TheLargeDrawingScaledDown) {
  ExpectChoice(ChooseBitmap(kHeaderBitmap, 97), 232, 581, 59, true);
}

TEST(ChooseBitmap, Above192Dpi_TheLargeDrawingScaledUp) {
  ExpectChoice(ChooseBitmap(kHeaderBitmap, 288), 232, 1725, 174, true);
}

TEST(FitBitmap, Fitting_StaysAsItIs) {
  ExpectChoice(FitBitmap(ChooseBitmap(kAboutBanner, 96), 404, 83), 147, 404, 59, false);
}

TEST(FitBitmap, TooWide_ShrinksToTheWidthKeepingItsProportions) {
  // 606x89 into 578 pixels: 89 * 578 / 606 = 84.9.
  ExpectChoice(FitBitmap(ChooseBitmap(kAboutBanner, 144), 578, 127), 247, 578, 85, true);
}

TEST(FitBitmap, TooHigh_ShrinksToTheHeight) {
  ExpectChoice(FitBitmap(ChooseBitmap(kAboutBanner, 192), 900, 59), 247, 404, 59, true);
}

}  // namespace
}  // namespace ejectra::wizard
