#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/window_backdrop.h"

#include "tests/controls/controls_test_support.h"

#include <climits>
#include <functional>
#include <vector>

namespace {

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
