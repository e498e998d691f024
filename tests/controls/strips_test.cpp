#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"

#include "tests/controls/controls_test_support.h"

#include <climits>

namespace {

// ---- title strips

TEST(TitleBar, DrawsItsOwnTextUntrimmed)
{
    const QSize size(347, 63);
    const TitleState empty {24, 15.0f, u""};
    const TitleState title {24, 15.0f, u"       French Vocabulary (1 - 50)"};
    const TitleState unpadded {24, 15.0f, u"French Vocabulary (1 - 50)"};
    const QImage bare = CTitleBar::Render(empty, size);

    // Only background and frame without text.
    EXPECT_TRUE(PixelNear(bare, 150, 30, StripFillAt(150, 30), 2));
    // The seven leading blanks are drawn as space, pushing the text right.
    const int padded = FirstDifferingColumn(bare, CTitleBar::Render(title, size));
    const int plain = FirstDifferingColumn(bare, CTitleBar::Render(unpadded, size));
    EXPECT_GE(plain, 0);
    EXPECT_LE(plain, 3);
    EXPECT_GT(padded, plain + 25);
}

TEST(TitleBar, IgnoresItsWindowTextAndUnusableFontSizes)
{
    const QSize size(234, 58);
    const TitleState clock {50, 1.0f, u""};
    CTitleBar strip(&clock);
    strip.setWindowTitle("-");
    strip.resize(size);
    const QImage image = strip.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image, CTitleBar::Render(clock, size));
    EXPECT_EQ(CTitleBar::Render(TitleState {0, 1.0f, u"   02 : 05"}, size), image);
    EXPECT_EQ(CTitleBar::Render(TitleState {-4, 1.0f, u"   02 : 05"}, size), image);
    // A font taller than the strip is cut at its bottom edge.
    EXPECT_FALSE(CTitleBar::Render(TitleState {200, 1.0f, u"   02 : 05"}, size).isNull());
}

// ---- progress gauge

TEST(ProgressBar, LevelHeightAndColourFollowTheCredit)
{
    const int h = 378;
    const struct
    {
        ProgressState state;
        int height;
        QRgb colour;
    } cases[] = {
        {{0, 50}, 0, 0xFFFF0000u},    {{20, 50}, 151, 0xFFFF0000u}, // 0.4 exactly stays red
        {{21, 50}, 158, 0xFFFFFF00u}, {{30, 50}, 226, 0xFFFFFF00u}, // 0.6 exactly stays yellow
        {{31, 50}, 234, 0xFF00FF00u}, {{50, 50}, 378, 0xFF00FF00u}, //
        {{0, 0}, 0, 0xFFFF0000u},     {{60, 50}, 378, 0xFF00FF00u}, // out of range: kept inside the gauge
        {{-5, 50}, 0, 0xFFFF0000u},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.state.credit) + "/" + std::to_string(c.state.creditMax));
        EXPECT_EQ(CProgressBar::LevelHeight(c.state, h), c.height);
        EXPECT_EQ(CProgressBar::GaugeColour(c.state), c.colour);

        const QImage image = CProgressBar::Render(c.state, QSize(63, h));
        const int top = h - c.height;
        if (c.height >= 4 && c.height < h - 4) {
            // The black line marks the level; grey-to-colour below it, strip fill above.
            EXPECT_TRUE(PixelNear(image, 30, top, kBlack, 0));
            EXPECT_TRUE(PixelNear(image, 30, top - 1, kBlack, 0));
            EXPECT_TRUE(
                PixelNear(image, 40, top + 2, RampOverWhite({0, 10}, 0xFF404040u, {64, 10}, c.colour, 40, top + 2)));
            EXPECT_TRUE(PixelNear(image, 40, top - 3, StripFillAt(40, top - 3)));
        } else if (c.height == 0) {
            EXPECT_TRUE(PixelNear(image, 30, h - 3, StripFillAt(30, h - 3)));
        } else {
            EXPECT_TRUE(PixelNear(image, 40, 3, RampOverWhite({0, 10}, 0xFF404040u, {64, 10}, c.colour, 40, 3)));
        }
    }
}

TEST(ProgressBar, HeightIsTruncatedTowardZero)
{
    EXPECT_EQ(CProgressBar::LevelHeight({35, 50}, 240), 168);
    EXPECT_EQ(CProgressBar::LevelHeight({39, 50}, 120), 93); // 93.6
    EXPECT_EQ(CProgressBar::LevelHeight({INT_MAX, 1}, 378), 378);
}

// ---- marked strip

TEST(MarkedBar, CellsAreLaidAtAFortyEighthOfTheWidth)
{
    EXPECT_EQ(CMarkedBar::CellWidth(670, 50), 13);
    EXPECT_EQ(CMarkedBar::CellWidth(720, 50), 15);
    EXPECT_EQ(CMarkedBar::CellWidth(670, 2), 0);

    MarkedState state;
    state.marks[1] = 1;
    state.marks[2] = 2;
    state.marks[3] = 0;
    state.marks[25] = 1;
    state.marks[50] = 1;
    const QImage image = CMarkedBar::Render(state, QSize(670, 26));
    auto cellRamp = [](int x, int y) { return RampOverWhite({0, 10}, 0xFF202020u, {740, 10}, 0xFF00FF00u, x, y); };

    EXPECT_TRUE(PixelNear(image, 6, 13, cellRamp(6, 13))); // right: filled, nearly dark grey
    EXPECT_TRUE(PixelNear(image, 13 + 6, 13, StripFillAt(19, 13))); // wrong: outline only
    EXPECT_TRUE(PixelNear(image, 26 + 6, 13, StripFillAt(32, 13))); // unanswered: the same
    EXPECT_TRUE(PixelNear(image, 24 * 13 + 6, 13, cellRamp(318, 13)));
    // Cell borders: two black columns where cells meet.
    EXPECT_TRUE(PixelNear(image, 25, 13, kBlack, 0));
    EXPECT_TRUE(PixelNear(image, 26, 13, kBlack, 0));
    // The 50th cell spans 637..650, then an empty margin up to the frame.
    EXPECT_TRUE(PixelNear(image, 640, 13, cellRamp(640, 13)));
    EXPECT_TRUE(PixelNear(image, 649, 13, cellRamp(649, 13)));
    EXPECT_TRUE(PixelNear(image, 650, 13, kBlack, 0));
    for (const int x : {652, 660, 666}) {
        EXPECT_TRUE(PixelNear(image, x, 13, StripFillAt(x, 13))) << x;
    }
}

TEST(MarkedBar, CellsBeyondTheEdgeAndOddCountsAreHarmless)
{
    MarkedState state;
    state.marks.fill(1);
    const QImage wide = CMarkedBar::Render(state, QSize(720, 26));
    // Cell 48 is the last one seen, ending at the frame.
    EXPECT_TRUE(PixelNear(wide, 710, 13, RampOverWhite({0, 10}, 0xFF202020u, {740, 10}, 0xFF00FF00u, 710, 13)));
    for (const int count : {INT_MIN, 0, 1, 2, 3, 1000, 1001, 5000, INT_MAX}) {
        state.cellCount = count;
        EXPECT_FALSE(CMarkedBar::Render(state, QSize(670, 26)).isNull()) << count;
    }
}

// ---- total strip

FakeProfileStore WithBest(std::initializer_list<std::pair<int, std::int32_t>> results)
{
    FakeProfileStore store;
    for (const auto &[level, best] : results) {
        store.SetBest(level, best);
    }
    return store;
}

TEST(TotalBar, ScoreBarAndPercentage)
{
    const struct
    {
        const char *name;
        FakeProfileStore store;
        std::int64_t score;
        int bar; // at w = 670
        const char *text;
    } cases[] = {
        {"empty", WithBest({}), 0, 0, "  0%"},
        {"50 and 62", WithBest({{1, 50}, {2, 62}}), 88, 58, "  9%"},
        {"one at 120", WithBest({{1, 120}}), -20, 0, "  0%"},
        {"45 points", WithBest({{3, 55}}), 45, 30, "  4%"}, // 4.5: the C library rounds halves to even
        {"a level at 100", WithBest({{1, 100}, {20, 55}}), 45, 30, "  4%"},
        {"at 998 and 999", WithBest({{1, 998}, {2, 999}}), -898, 0, "  0%"},
        {"absurd low", WithBest({{4, INT_MIN}}), 100 + std::int64_t {1} * 2147483648, 670, "100%"},
        {"absurd high", WithBest({{4, INT_MAX}}), 0, 0, "  0%"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CTotalBar::Score(&c.store), c.score);
        EXPECT_EQ(CTotalBar::BarWidth(670, c.score), c.bar);
        EXPECT_EQ(CTotalBar::PercentText(c.score), QString(c.text));
    }
    FakeProfileStore all;
    for (int l = 1; l <= 20; ++l) {
        all.SetBest(l, 50);
    }
    EXPECT_EQ(CTotalBar::Score(&all), 1000);
    EXPECT_EQ(CTotalBar::BarWidth(670, 1000), 670);
    EXPECT_EQ(CTotalBar::PercentText(1000), "100%");
    EXPECT_EQ(CTotalBar::PercentText(455), " 46%");
    EXPECT_EQ(CTotalBar::Score(nullptr), 0);
}

bool IsGreen(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return qGreen(c) > 120 && qRed(c) < 40 && qBlue(c) < 40;
}

TEST(TotalBar, PaintsTheBarUnderTheText)
{
    const QSize size(670, 26);
    FakeProfileStore empty;
    const QImage none = CTotalBar::Render(&empty, size);
    EXPECT_FALSE(IsGreen(none, 5, 13));
    EXPECT_TRUE(PixelNear(none, 200, 13, NavyFadeAt(200, 13)));
    // "  0%" is drawn from x = 324 on, right of its two blanks.
    bool ink = false;
    for (int x = 324; x < 370; ++x) {
        ink = ink || qRed(none.pixel(x, 13)) < 60;
    }
    EXPECT_TRUE(ink);
    for (int x = 3; x < 330; ++x) {
        ASSERT_TRUE(PixelNear(none, x, 13, NavyFadeAt(x, 13))) << x;
    }

    FakeProfileStore some = WithBest({{1, 50}, {2, 62}});
    const QImage bar = CTotalBar::Render(&some, size);
    EXPECT_TRUE(IsGreen(bar, 5, 13));
    EXPECT_TRUE(IsGreen(bar, 57, 13));
    EXPECT_FALSE(IsGreen(bar, 58, 13));
    // Dark green at the top towards green 30 px down.
    EXPECT_TRUE(PixelNear(bar, 20, 3, RampOverWhite({0, 0}, 0xFF008000u, {0, 30}, 0xFF00FF00u, 20, 3)));
    EXPECT_TRUE(PixelNear(bar, 20, 22, RampOverWhite({0, 0}, 0xFF008000u, {0, 30}, 0xFF00FF00u, 20, 22)));

    FakeProfileStore negative = WithBest({{1, 120}});
    EXPECT_EQ(CTotalBar::Render(&negative, size), none);
}

TEST(TotalBar, ReadsEveryLevelAtEveryPaint)
{
    FakeProfileStore store;
    CTotalBar strip(&store);
    strip.resize(670, 26);
    CTotalBar::Render(&store, QSize(670, 26));
    EXPECT_EQ(store.reads, 20);
    store.SetBest(9, 50);
    EXPECT_TRUE(IsGreen(strip.grab().toImage(), 5, 13));
    EXPECT_EQ(store.reads, 40);
}

} // namespace
