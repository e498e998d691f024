#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"

#include "tests/controls/controls_test_support.h"

#include <climits>
#include <tuple>

namespace {

TEST(TitleBar, LevelTitleAndClockAreBoldTimesAtTheirSizeAndTop)
{
    // The two strips as the main window sets them up: the level title 24 px from 15 px down, the clock
    // 50 px from 1 px down, both from the left edge with their leading blanks drawn as space.
    for (const auto &[state, size] :
         {std::pair {TitleState {24, 15.0f, u"       French Vocabulary (1 - 50)"}, QSize(347, 63)},
          std::pair {TitleState {50, 1.0f, u"   02 : 05"}, QSize(234, 58)}}) {
        const QString text = QString::fromStdU16String(state.text);
        CTitleBar strip(&state);
        strip.resize(size);
        const QImage drawn = strip.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage bare = CTitleBar::Render({state.fontSize, state.textTop, u""}, size);
        EXPECT_EQ(InkBox(bare, drawn), ExpectedInk(text, state.fontSize, QPointF(0, state.textTop), size))
            << text.toStdString();
    }
    // Without a text, or with a size no font has, only the strip fill shows inside the frame.
    const QImage bare = CTitleBar::Render({0, 1.0f, u"   02 : 05"}, QSize(347, 63));
    EXPECT_EQ(CTitleBar::Render({-4, 1.0f, u"   02 : 05"}, QSize(347, 63)), bare);
    EXPECT_EQ(CTitleBar::Render({24, 15.0f, u""}, QSize(347, 63)), bare);
    for (int y = 2; y < 61; ++y) {
        for (int x = 2; x < 345; ++x) {
            ASSERT_TRUE(PixelNear(bare, x, y, StripFillAt(x, y), 2));
        }
    }
}

TEST(ProgressBar, LevelHeightAndColourFollowTheCredit)
{
    const std::tuple<ProgressState, int, int, QRgb> cases[] = {
        {{0, 50}, 378, 0, 0xFFFF0000u},    {{20, 50}, 378, 151, 0xFFFF0000u}, // 0.4 exactly stays red
        {{21, 50}, 378, 158, 0xFFFFFF00u}, {{30, 50}, 378, 226, 0xFFFFFF00u}, // 0.6 exactly stays yellow
        {{31, 50}, 378, 234, 0xFF00FF00u}, {{50, 50}, 378, 378, 0xFF00FF00u}, //
        {{0, 0}, 378, 0, 0xFFFF0000u},     {{60, 50}, 378, 378, 0xFF00FF00u}, // out of range: kept inside
        {{-5, 50}, 378, 0, 0xFFFF0000u},   {{INT_MAX, 1}, 378, 378, 0xFF00FF00u}, //
        {{35, 50}, 240, 168, 0xFF00FF00u}, {{39, 50}, 120, 93, 0xFF00FF00u}, // 93.6 truncates
    };
    for (const auto &[state, h, height, colour] : cases) {
        SCOPED_TRACE(testing::Message() << state.credit << "/" << state.creditMax << " h " << h);
        // Strip fill above the level, its black top line, then grey-to-colour.
        const QImage image = CProgressBar::Render(state, QSize(63, h));
        for (int y = 2, top = h - height; y < h - 2; ++y) {
            const QRgb want = y < top - 1 ? StripFillAt(40, y)
                : y <= top                ? kBlack
                                          : Ramp {{0, 10}, {64, 10}, kDarkGrey, colour}(40, y);
            ASSERT_TRUE(PixelNear(image, 40, y, want)) << y;
        }
    }
}

constexpr Ramp CellRampAt {{0, 10}, {740, 10}, 0xFF202020u, 0xFF00FF00u};

TEST(MarkedBar, CellsAreLaidAtAFortyEighthOfTheWidth)
{
    MarkedState state;
    state.marks[1] = 1;
    state.marks[2] = 2;
    state.marks[25] = 1;
    state.marks[50] = 1;
    const QImage image = CMarkedBar::Render(state, QSize(670, 26));
    // Right: filled, nearly dark grey at the left; wrong and unanswered: outline only; two black
    // columns where cells meet; the 50th cell spans 637..650, then an empty margin up to the frame.
    for (const int x : {6, 318, 640, 649}) {
        EXPECT_TRUE(PixelNear(image, x, 13, CellRampAt(x, 13))) << x;
    }
    for (const int x : {19, 32, 652, 660, 666}) {
        EXPECT_TRUE(PixelNear(image, x, 13, StripFillAt(x, 13))) << x;
    }
    for (const int x : {25, 26, 650}) {
        EXPECT_TRUE(PixelNear(image, x, 13, kBlack, 0)) << x;
    }

    // At 720 the 48th cell is the last one seen, ending at the frame.
    state.marks.fill(1);
    EXPECT_TRUE(PixelNear(CMarkedBar::Render(state, QSize(720, 26)), 710, 13, CellRampAt(710, 13)));
}

// The strip as it would be without its text: frame, bar and navy fade.
QImage WithoutText(QImage image, int bar)
{
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            image.setPixel(x, y, x < bar ? TotalBarAt(x, y) : NavyFadeAt(x, y));
        }
    }
    return image;
}

TEST(TotalBar, ScoreBarAndPercentage)
{
    // Best results, score, bar at w = 670, text. A negative score shows no bar and 0 %.
    const std::tuple<MemoryProfileStore, std::int64_t, int, const char *> cases[] = {
        {{}, 0, 0, "  0%"},
        {Bests({{1, 50}, {2, 62}}), 88, 58, "  9%"},
        {Bests({{1, 120}}), -20, 0, "  0%"},
        {Bests({{3, 55}}), 45, 30, "  4%"}, // 4.5: the C library rounds halves to even
        {Bests({{1, 100}, {20, 55}}), 45, 30, "  4%"},
        {Bests({{1, 998}, {2, 999}}), -898, 0, "  0%"},
        {Bests({{4, INT_MIN}}), 100 + std::int64_t {1} * 2147483648, 670, "100%"}, // would overflow 32 bits
        {Bests({{4, INT_MAX}}), 0, 0, "  0%"},
        {Bests({}, 50), 1000, 670, "100%"},
    };
    for (const auto &[store, score, bar, text] : cases) {
        SCOPED_TRACE(score);
        EXPECT_EQ(CTotalBar::Score(&store), score);
        EXPECT_EQ(CTotalBar::BarWidth(670, score), bar);
        EXPECT_EQ(CTotalBar::PercentText(score), QString(text));
        // Left of the text only bar and navy fade show. The text is bold Times New Roman of 20 px from
        // (w / 2 - 11, h / 2 - 11) whatever its length.
        const QImage image = CTotalBar::Render(&store, QSize(670, 26));
        for (const int y : {3, 13, 22}) {
            for (int x = 2; x < 324; ++x) {
                ASSERT_TRUE(PixelNear(image, x, y, x < bar ? TotalBarAt(x, y) : NavyFadeAt(x, y))) << x << "," << y;
            }
        }
        EXPECT_EQ(InkBox(WithoutText(image, bar), image), ExpectedInk(text, 20, QPointF(324, 2), image.size()));
    }
    EXPECT_EQ(CTotalBar::PercentText(455), " 46%");
    EXPECT_EQ(CTotalBar::Score(nullptr), 0);
}

TEST(LevelButtonAndTotalBar, WidgetsShowANewBestAtTheirNextPaint)
{
    MemoryProfileStore store;
    CLevelButton button(2, &store);
    button.setText("51-100");
    button.resize(90, 21);
    CTotalBar strip(&store);
    strip.resize(670, 26);
    EXPECT_TRUE(PixelNear(button.grab().toImage(), 10, 10, NavyFadeAt(10, 10)));
    EXPECT_TRUE(PixelNear(strip.grab().toImage(), 5, 13, NavyFadeAt(5, 13)));
    store.SetBest(2, 51);
    EXPECT_TRUE(PixelNear(button.grab().toImage(), 10, 10, BarAt(10, 10)));
    EXPECT_TRUE(PixelNear(strip.grab().toImage(), 5, 13, TotalBarAt(5, 13)));
}

} // namespace
