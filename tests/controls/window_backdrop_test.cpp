#include "controls/window_backdrop.h"

#include "tests/controls/controls_test_support.h"

namespace {

QRgb BackdropAt(int x, int y)
{
    return RampOverWhite({0, 0}, 0x00000020u, {64, 1000}, 0xFF000040u, x, y);
}

TEST(WindowBackdrop, FadesFromWhiteDownwardsWithoutAFrame)
{
    const QImage image = WindowBackdrop::Render(QSize(1154, 588));
    ASSERT_EQ(image.size(), QSize(1154, 588));
    EXPECT_TRUE(PixelNear(image, 0, 0, kWhite, 1));
    EXPECT_TRUE(PixelNear(image, 1153, 0, BackdropAt(1153, 0), 2));
    for (const int y : {10, 100, 300, 587}) {
        EXPECT_TRUE(PixelNear(image, 500, y, BackdropAt(500, y), 2)) << y;
    }
    // Darker downwards, and very slightly to the right.
    EXPECT_LT(qRed(image.pixel(20, 587)), qRed(image.pixel(20, 300)));
    EXPECT_LT(qRed(image.pixel(20, 300)), qRed(image.pixel(20, 10)));
    EXPECT_LE(qRed(image.pixel(1150, 300)), qRed(image.pixel(2, 300)));
}

TEST(WindowBackdrop, FourHundredRowsReachAboutFortyPercentNavy)
{
    const QImage image = WindowBackdrop::Render(QSize(600, 400));
    const QRgb bottom = image.pixel(0, 399);
    // About 40 % of the ramp's colour over white: red and green near 0.6 * 255.
    EXPECT_NEAR(qRed(bottom), 153, 3);
    EXPECT_NEAR(qGreen(bottom), 153, 3);
    EXPECT_TRUE(PixelNear(image, 0, 399, BackdropAt(0, 399), 2));
}

} // namespace
