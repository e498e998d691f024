#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/window_backdrop.h"
#include "tests/support/memory_profile_store.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <tuple>
#include <vector>

// A profile holding these levels' best results, and every other level's at others (0: none).
inline MemoryProfileStore Bests(std::initializer_list<std::pair<int, std::int32_t>> levels, std::int32_t others = 0)
{
    MemoryProfileStore store;
    for (int level = 1; level <= 20 && others != 0; ++level) {
        store.SetBest(level, others);
    }
    for (const auto &[level, best] : levels) {
        store.SetBest(level, best);
    }
    return store;
}

inline constexpr QRgb kBlack = 0xFF000000u;
inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kDarkGrey = 0xFF404040u;

// Channel-wise comparison, with slack for antialiasing and rounding.
inline ::testing::AssertionResult PixelNear(const QImage &image, int x, int y, QRgb want, int tolerance = 3)
{
    const QRgb a = image.valid(x, y) ? image.pixel(x, y) : want ^ 0x80808080u; // outside: fails
    if (std::max({std::abs(qRed(a) - qRed(want)), std::abs(qGreen(a) - qGreen(want)), std::abs(qBlue(a) - qBlue(want)),
                  std::abs(qAlpha(a) - qAlpha(want))})
        <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
        << QString::asprintf("pixel (%d, %d) is %08X, expected %08X", x, y, a, want).toStdString();
}

// A two-point ramp (straight channel blend, repeating) composited over opaque white.
struct Ramp
{
    QPointF p1, p2;
    QRgb c1, c2;

    // The colour it leaves at the centre of pixel (x, y).
    QRgb operator()(int x, int y) const
    {
        const double dx = p2.x() - p1.x();
        const double dy = p2.y() - p1.y();
        double t = ((x + 0.5 - p1.x()) * dx + (y + 0.5 - p1.y()) * dy) / (dx * dx + dy * dy);
        t -= std::floor(t);
        auto lerp = [t](int a, int b) { return a + (b - a) * t; };
        const double alpha = lerp(qAlpha(c1), qAlpha(c2)) / 255.0;
        auto over
            = [alpha](double channel) { return static_cast<int>(std::lround(channel * alpha + 255.0 * (1 - alpha))); };
        return qRgb(over(lerp(qRed(c1), qRed(c2))), over(lerp(qGreen(c1), qGreen(c2))),
                    over(lerp(qBlue(c1), qBlue(c2))));
    }
};

// The ramps the controls fill with; a level's bar runs from dark green at
// the left towards green over 164 px, the total's 30 px down.
inline constexpr Ramp StripFillAt {{0, 0}, {64, 1000}, 0x00FF0040u, 0xFF0000FFu};
inline constexpr Ramp NavyFadeAt {{0, 0}, {0, 60}, 0x00000020u, 0xFF000040u};
inline constexpr Ramp BarAt {{0, 10}, {164, 10}, 0xFF008000u, 0xFF00FF00u};
inline constexpr Ramp TotalBarAt {{0, 0}, {0, 30}, 0xFF008000u, 0xFF00FF00u};

// The box of a text's ink: the pixels less than half as bright as without
// the text, that is black text covering more than half of the pixel.
inline void PrintTo(const QRect &r, std::ostream *out)
{
    *out << r.width() << "x" << r.height() << " at (" << r.x() << ", " << r.y() << ")";
}

inline QRect InkBox(const QImage &bare, const QImage &with)
{
    QRect box;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (2 * qGray(with.pixel(x, y)) < qGray(bare.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// Where text in bold Times New Roman of an em size in pixels, its layout
// box's top-left corner at origin, puts its ink on an image of that size.
inline QRect ExpectedInk(const QString &text, int pixelSize, QPointF origin, QSize size)
{
    QImage white(size, QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    QImage drawn = white;
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    QPainter painter(&drawn);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(origin, QSizeF(4000, 4000)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.end();
    return InkBox(white, drawn);
}

namespace {

const QSize kAnswerSize(234, 68);

TEST(AnswerButton, FaceFadesIntoTheVerdictsColourUnderTheTrimmedCaption)
{
    // Flags, face colour, the colour the fade starts from.
    const std::tuple<AnswerFace, QRgb, QRgb> cases[] = {
        {{0, 0}, 0xFF000040u, 0x00000020u},  {{1, 0}, 0xFF00FF00u, 0x00007F00u},
        {{0, 1}, 0xFFFF0000u, 0x007F0000u},  {{1, 1}, 0xFFFF0000u, 0x007F0000u}, // wrong wins
        {{-7, 0}, 0xFF00FF00u, 0x00007F00u}, // any non-zero flag counts
    };
    for (const auto &[face, colour, fadeStart] : cases) {
        SCOPED_TRACE(testing::Message() << face.showRight << "/" << face.showWrong);
        const QImage image = CAnswerButton::Render(face, QString(), kAnswerSize);
        // The ramp runs 100 px down from the fade start, whatever the height.
        for (const int y : {2, 20, 40, 65}) {
            EXPECT_TRUE(PixelNear(image, 117, y, Ramp {{0, 0}, {0, 100}, fadeStart, colour}(117, y)));
        }
    }

    // The caption is bold Times of 20 px.
    const AnswerFace face;
    const QImage bare = CAnswerButton::Render(face, QString(), kAnswerSize);
    // The origin is (w / 2 - 5 per character, h / 2 - 11), not placed by the measured width: "WWW" and "iii"
    // start alike. The trimmed caption is drawn.
    for (const auto &[text, caption] :
         {std::pair {" - ", "-"}, std::pair {"Speed Challenge", "Speed Challenge"},
          std::pair {" \tto go\t \r\n", "to go"}, std::pair {"WWW", "WWW"}, std::pair {"iii", "iii"}}) {
        const QPointF origin(117 - 5 * QString(caption).size(), 23);
        EXPECT_EQ(InkBox(bare, CAnswerButton::Render(face, text, kAnswerSize)),
                  ExpectedInk(caption, 20, origin, kAnswerSize))
            << text;
    }
    // A caption of blanks only draws nothing.
    EXPECT_EQ(CAnswerButton::Render(face, " \t  \t", kAnswerSize), bare);
}

const QSize kLevelSize(90, 21);

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
        const QImage image = CLevelButton::Render(3, &store, QString(), kLevelSize);
        for (const int y : {3, 10, 17}) {
            for (int x = 2; x < 88; ++x) {
                ASSERT_TRUE(PixelNear(image, x, y, x < bar ? BarAt(x, y) : NavyFadeAt(x, y))) << best;
            }
        }
    }
    // Nothing stored, or no store at all: no result.
    const MemoryProfileStore empty;
    EXPECT_EQ(CLevelButton::Render(3, &empty, QString(), kLevelSize),
              CLevelButton::Render(3, nullptr, QString(), kLevelSize));

    // The caption is bold Times of 16 px from (w / 2 - 4 per trimmed character, h / 2 - 11), over the bar.
    const MemoryProfileStore store = Bests({{3, 62}});
    const QImage bare = CLevelButton::Render(3, &store, QString(), kLevelSize);
    for (const auto &[text, caption] :
         {std::pair {"101 - 150", "101 - 150"}, std::pair {" 1-50 ", "1-50"}, std::pair {"951 - 1000", "951 - 1000"}}) {
        const QPointF origin(45 - 4 * QString(caption).size(), -0.5);
        EXPECT_EQ(InkBox(bare, CLevelButton::Render(3, &store, text, kLevelSize)),
                  ExpectedInk(caption, 16, origin, kLevelSize))
            << text;
    }
}

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

// The widgets show what Render draws, in every button state, and the flags or best result of their next paint.
TEST(Widgets, ShowTheRenderedFaceAndANewBestAtTheirNextPaint)
{
    AnswerFace face {1, 0};
    CAnswerButton answer(&face);
    answer.setText("  la maison\t");
    answer.resize(kAnswerSize);
    const QImage expected = CAnswerButton::Render(face, answer.text(), kAnswerSize);
    EXPECT_EQ(answer.grab().toImage().convertToFormat(expected.format()), expected);
    answer.setDown(true);
    answer.setDefault(true);
    EXPECT_EQ(answer.grab().toImage().convertToFormat(expected.format()), expected);
    // The owner writes the flags and repaints.
    face.showWrong = 1;
    EXPECT_EQ(answer.grab().toImage().pixel(117, 65),
              CAnswerButton::Render(face, answer.text(), kAnswerSize).pixel(117, 65));

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

struct NamedRenderer
{
    const char *name;
    std::function<QImage(QSize, qreal)> render;
};

// Every control in a state that paints over the whole face, so a frame drawn too early would be covered.
std::vector<NamedRenderer> EveryControl(const MemoryProfileStore &store)
{
    static MarkedState marks;
    marks.marks.fill(1);
    static const AnswerFace green {1, 0};
    static const ProgressState full {50, 50};
    static const TitleState title {24, 15.0f, u"       French Vocabulary (1 - 50)"};
    return {
        {"answer", [](QSize s, qreal d) { return CAnswerButton::Render(green, "Speed Challenge", s, d); }},
        {"level", [&store](QSize s, qreal d) { return CLevelButton::Render(1, &store, "1-50", s, d); }},
        {"title", [](QSize s, qreal d) { return CTitleBar::Render(title, s, d); }},
        {"progress", [](QSize s, qreal d) { return CProgressBar::Render(full, s, d); }},
        {"marked", [](QSize s, qreal d) { return CMarkedBar::Render(marks, s, d); }},
        {"total", [&store](QSize s, qreal d) { return CTotalBar::Render(&store, s, d); }},
    };
}

TEST(PaintConventions, EveryControlEndsWithTheRaisedFrameAtAnyDensity)
{
    const MemoryProfileStore store = Bests({}, 50); // full green bars on the level button and the total strip
    for (const NamedRenderer &control : EveryControl(store)) {
        SCOPED_TRACE(control.name);
        for (const QSize empty : {QSize(0, 0), QSize(0, 26), QSize(670, 0), QSize(-3, 10), QSize(10, -1)}) {
            EXPECT_TRUE(control.render(empty, 1.0).isNull());
        }
        for (const auto &[size, dpr] :
             {std::pair {QSize(234, 68), 1}, std::pair {QSize(90, 21), 1}, std::pair {QSize(63, 378), 1},
              std::pair {QSize(670, 26), 1}, std::pair {QSize(90, 30), 2}}) {
            const QImage image = control.render(size, dpr);
            ASSERT_EQ(image.size(), size * dpr);
            EXPECT_EQ(image.devicePixelRatio(), dpr);
            // A black outer edge over the lighter lines; inside it white along the top and left, dark grey
            // along the right and bottom. Each logical pixel is dpr device pixels.
            const int w = size.width();
            const int h = size.height();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const int lx = x / dpr;
                    const int ly = y / dpr;
                    const QRgb want = lx == 0 || ly == 0 || lx == w - 1 || ly == h - 1 ? kBlack
                        : lx == w - 2 || ly == h - 2                                   ? kDarkGrey
                        : lx == 1 || ly == 1                                           ? kWhite
                                                                                       : 0;
                    if (want != 0) {
                        ASSERT_TRUE(PixelNear(image, x, y, want, 0)) << w << "x" << h << " @" << dpr;
                    }
                }
            }
        }
    }
}

TEST(WindowBackdrop, FadesFromWhiteDownwardsWithoutAFrame)
{
    // White at the top-left into navy 1000 px down and 64 across, so the window shows only the start of
    // it; the edge columns show no frame.
    const QImage image = WindowBackdrop::Render(QSize(1154, 588));
    ASSERT_EQ(image.size(), QSize(1154, 588));
    for (const int x : {0, 500, 1153}) {
        for (int y = 0; y < 588; ++y) {
            const QRgb want = Ramp {{0, 0}, {64, 1000}, 0x00000020u, 0xFF000040u}(x, y);
            ASSERT_TRUE(PixelNear(image, x, y, want, 2)) << x << ", " << y;
        }
    }
    EXPECT_TRUE(WindowBackdrop::Render(QSize(0, 588)).isNull());
}

// Values no drill produces, which the sanitizer build checks for overflow
// and out-of-range access; here they only have to paint.
TEST(PaintConventions, AbsurdValuesStillPaint)
{
    EXPECT_FALSE(CTitleBar::Render({200, 1.0f, u"   02 : 05"}, QSize(234, 58)).isNull()); // cut at the bottom
    MarkedState marked;
    marked.marks.fill(1);
    for (const int count : {INT_MIN, 0, 1, 2, 3, 1000, 1001, 5000, INT_MAX}) {
        marked.cellCount = count;
        EXPECT_FALSE(CMarkedBar::Render(marked, QSize(670, 26)).isNull()) << count;
    }
}

} // namespace
