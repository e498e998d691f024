#include "controls/c_level_button.h"

#include "tests/controls/controls_test_support.h"

#include <climits>

namespace {

const QSize kSize(90, 21);

TEST(LevelButton, DrawsTheBarFromTheStoredResultAndTheCaptionOverIt)
{
    // Best result of level 3 and the bar width at w = 90: (w * (75 - b) * 2) / 50 within 0..w. 999 and
    // above mean no result yet; a result better than possible fills the bar, even where the product
    // would overflow 32 bits. The navy fade shows right of the bar.
    const std::int32_t cases[][2] = {
        {999, 0}, {50, 90},  {62, 46},          {74, 3},      {75, 0},       {998, 0},
        {49, 90}, {1000, 0}, {-2000000000, 90}, {INT_MAX, 0}, {INT_MIN, 90},
    };
    for (const auto &[best, bar] : cases) {
        MemoryProfileStore store;
        store.SetBest(3, best);
        const QImage image = CLevelButton::Render(3, &store, QString(), kSize);
        for (const int y : {3, 10, 17}) {
            for (int x = 2; x < 88; ++x) {
                ASSERT_TRUE(PixelNear(image, x, y, x < bar ? BarAt(x, y) : NavyFadeAt(x, y))) << best;
            }
        }
    }
    // Nothing stored, or no store at all: no result.
    const MemoryProfileStore empty;
    EXPECT_EQ(CLevelButton::Render(3, &empty, QString(), kSize), CLevelButton::Render(3, nullptr, QString(), kSize));

    // The caption is bold Times of 16 px from (w / 2 - 4 per trimmed character, h / 2 - 11), over the bar.
    const MemoryProfileStore store = Bests({{3, 62}});
    const QImage bare = CLevelButton::Render(3, &store, QString(), kSize);
    for (const auto &[text, caption] :
         {std::pair {"101 - 150", "101 - 150"}, std::pair {" 1-50 ", "1-50"}, std::pair {"951 - 1000", "951 - 1000"}}) {
        const QPointF origin(45 - 4 * QString(caption).size(), -0.5);
        EXPECT_EQ(InkBox(bare, CLevelButton::Render(3, &store, text, kSize)), ExpectedInk(caption, 16, origin, kSize))
            << text;
    }
}

} // namespace
