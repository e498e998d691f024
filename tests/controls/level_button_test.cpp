#include "controls/c_level_button.h"

#include "tests/controls/controls_test_support.h"

#include <climits>

namespace {

TEST(LevelButton, BarWidthFollowsTheBestResult)
{
    const struct
    {
        int w;
        std::int32_t best;
        int width;
    } cases[] = {
        {90, 999, 0}, // no result yet
        {90, 50, 90}, // every word right first time
        {90, 62, 46}, // (90 * 13 * 2) / 50
        {100, 60, 60}, //
        {100, 70, 20}, //
        {100, 74, 4}, //
        {100, 75, 0}, //
        {100, 998, 0}, //
        {100, 49, 100}, // better than possible: full
        {100, 0, 100}, //
        {100, 1000, 0}, // above the sentinel: treated as no result
        {100, INT_MAX, 0}, //
        {100, INT_MIN, 100}, // edited profile: would overflow 32 bits
        {100, -2000000000, 100},
        {0, 50, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CLevelButton::BarWidth(c.w, c.best), c.width) << c.w << " @ " << c.best;
    }
}

// Whether the column x (mid-height) shows the green bar rather than the navy fade.
bool IsBar(const QImage &image, int x)
{
    const QRgb c = image.pixel(x, 10);
    return qGreen(c) > 100 && qRed(c) < 60 && qBlue(c) < 60;
}

TEST(LevelButton, DrawsTheBarFromTheStoredResult)
{
    FakeProfileStore store;
    store.SetBest(3, 62);
    store.SetBest(4, 75);
    store.SetBest(5, INT_MIN);
    const QSize size(90, 21);

    const QImage at62 = CLevelButton::Render(3, &store, QString(), size);
    EXPECT_TRUE(IsBar(at62, 2));
    EXPECT_TRUE(IsBar(at62, 45));
    EXPECT_FALSE(IsBar(at62, 46));
    // Dark green at the left, towards green over 164 px.
    EXPECT_TRUE(PixelNear(at62, 30, 10, RampOverWhite({0, 10}, 0xFF008000u, {164, 10}, 0xFF00FF00u, 30, 10)));
    EXPECT_TRUE(PixelNear(at62, 60, 10, NavyFadeAt(60, 10)));

    for (const int level : {4, 6}) { // 75, and nothing stored
        const QImage none = CLevelButton::Render(level, &store, QString(), size);
        EXPECT_FALSE(IsBar(none, 2)) << level;
        EXPECT_TRUE(PixelNear(none, 40, 10, NavyFadeAt(40, 10))) << level;
    }
    const QImage absurd = CLevelButton::Render(5, &store, QString(), size);
    EXPECT_TRUE(IsBar(absurd, 2));
    EXPECT_TRUE(IsBar(absurd, 87));
}

TEST(LevelButton, ReadsTheProfileAtEveryPaint)
{
    FakeProfileStore store;
    const QSize size(90, 21);
    EXPECT_FALSE(IsBar(CLevelButton::Render(7, &store, QString(), size), 10));
    store.SetBest(7, 50);
    EXPECT_TRUE(IsBar(CLevelButton::Render(7, &store, QString(), size), 10));
    EXPECT_EQ(store.reads, 2);
    // Without a store the level has no result.
    EXPECT_FALSE(IsBar(CLevelButton::Render(7, nullptr, QString(), size), 10));
}

TEST(LevelButton, CaptionStartsAtFourPixelsPerTrimmedUnit)
{
    FakeProfileStore store;
    store.SetBest(3, 62); // the caption is drawn over the bar
    const QSize size(90, 21);
    const QImage bare = CLevelButton::Render(3, &store, QString(), size);
    for (const auto &[text, length] :
         {std::pair {"101 - 150", 9}, std::pair {" 1-50 ", 4}, std::pair {"951 - 1000", 10}}) {
        const QImage image = CLevelButton::Render(3, &store, text, size);
        const int ink = FirstDifferingColumn(bare, image);
        EXPECT_GE(ink, 45 - 4 * length - 1) << text;
        EXPECT_LE(ink, 45 - 4 * length + 3) << text;
    }
}

TEST(LevelButton, WidgetRepaintsFromTheStore)
{
    FakeProfileStore store;
    CLevelButton button(2, &store);
    button.setText("51-100");
    button.resize(90, 21);
    EXPECT_EQ(button.level(), 2);
    EXPECT_FALSE(IsBar(button.grab().toImage(), 10));
    store.SetBest(2, 51);
    EXPECT_TRUE(IsBar(button.grab().toImage(), 10));
}

} // namespace
