#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/offscreen_paint.h"
#include "controls/window_backdrop.h"

#include "tests/controls/controls_test_support.h"

#include <QPainter>
#include <QtMath>

#include <functional>
#include <vector>

namespace {

using Renderer = std::function<QImage(QSize, qreal)>;

struct NamedRenderer
{
    const char *name;
    Renderer render;
};

std::vector<NamedRenderer> EveryControl(const FakeProfileStore &store)
{
    static const AnswerFace green {1, 0};
    static const ProgressState full {50, 50};
    static MarkedState marks = [] {
        MarkedState m;
        m.marks.fill(1);
        return m;
    }();
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

TEST(PaintConventions, EveryControlEndsWithTheRaisedFrame)
{
    FakeProfileStore store;
    store.SetBest(1, 50); // full green bars on the level button and the total strip
    for (int l = 2; l <= 20; ++l) {
        store.SetBest(l, 50);
    }
    for (const QSize size : {QSize(234, 68), QSize(90, 21), QSize(63, 378), QSize(670, 26)}) {
        for (const NamedRenderer &control : EveryControl(store)) {
            SCOPED_TRACE(std::string(control.name) + " " + std::to_string(size.width()) + "x"
                         + std::to_string(size.height()));
            const QImage image = control.render(size, 1.0);
            ASSERT_EQ(image.size(), size);
            ASSERT_TRUE(image.format() == QImage::Format_ARGB32
                        || image.format() == QImage::Format_ARGB32_Premultiplied);
            const int w = size.width();
            const int h = size.height();
            // Black outer edge on all four sides, over the lighter lines.
            for (int y = 0; y < h; ++y) {
                ASSERT_TRUE(PixelNear(image, 0, y, kBlack, 0));
                ASSERT_TRUE(PixelNear(image, w - 1, y, kBlack, 0));
            }
            for (int x = 0; x < w; ++x) {
                ASSERT_TRUE(PixelNear(image, x, 0, kBlack, 0));
                ASSERT_TRUE(PixelNear(image, x, h - 1, kBlack, 0));
            }
            // White inside along top and left, dark grey along right and bottom.
            for (int y = 1; y < h - 2; ++y) {
                ASSERT_TRUE(PixelNear(image, 1, y, kWhite, 0));
                ASSERT_TRUE(PixelNear(image, w - 2, y, kDarkGrey, 0));
            }
            for (int x = 1; x < w - 2; ++x) {
                ASSERT_TRUE(PixelNear(image, x, 1, kWhite, 0));
                ASSERT_TRUE(PixelNear(image, x, h - 2, kDarkGrey, 0));
            }
        }
    }
}

TEST(PaintConventions, AnEmptyAreaGivesNoImage)
{
    FakeProfileStore store;
    const QSize sizes[] = {QSize(0, 0), QSize(0, 26), QSize(670, 0), QSize(-3, 10), QSize(10, -1)};
    for (const QSize size : sizes) {
        for (const NamedRenderer &control : EveryControl(store)) {
            EXPECT_TRUE(control.render(size, 1.0).isNull()) << control.name;
        }
        EXPECT_TRUE(WindowBackdrop::Render(size).isNull());
    }
}

TEST(PaintConventions, HighDensityKeepsLogicalGeometry)
{
    FakeProfileStore store;
    for (const NamedRenderer &control : EveryControl(store)) {
        SCOPED_TRACE(control.name);
        const QImage image = control.render(QSize(90, 30), 2.0);
        ASSERT_EQ(image.size(), QSize(180, 60));
        EXPECT_EQ(image.devicePixelRatio(), 2.0);
        // The 1-pixel black edge becomes 2 device pixels, then the white line.
        EXPECT_TRUE(PixelNear(image, 0, 30, kBlack, 0));
        EXPECT_TRUE(PixelNear(image, 1, 30, kBlack, 0));
        EXPECT_TRUE(PixelNear(image, 2, 30, kWhite, 0));
        EXPECT_TRUE(PixelNear(image, 3, 30, kWhite, 0));
        EXPECT_TRUE(PixelNear(image, 178, 30, kBlack, 0));
        EXPECT_TRUE(PixelNear(image, 177, 30, kDarkGrey, 0));
    }
}

TEST(PaintConventions, NamedRampsStartWhiteWithTheirTint)
{
    // A title strip with no text is the strip fill inside the frame.
    const QImage strip = CTitleBar::Render(TitleState {20, 20.0f, u""}, QSize(347, 63));
    FakeProfileStore empty;
    const QImage navy = CTotalBar::Render(&empty, QSize(120, 26));
    for (const auto &[x, y] : {std::pair {2, 2}, std::pair {100, 30}, std::pair {300, 60}, std::pair {10, 59}}) {
        EXPECT_TRUE(PixelNear(strip, x, y, StripFillAt(x, y), 2));
    }
    for (const auto &[x, y] : {std::pair {2, 2}, std::pair {30, 12}, std::pair {20, 23}}) {
        EXPECT_TRUE(PixelNear(navy, x, y, NavyFadeAt(x, y), 2));
    }
    // The channels blend as written, so the alpha-00 rose first colour still
    // tints the fade: red above blue above green, not a plain pale blue.
    const QRgb low = strip.pixel(10, 59);
    EXPECT_GT(qRed(low), qBlue(low));
    EXPECT_GT(qBlue(low), qGreen(low));
}

} // namespace

namespace {

TEST(PaintConventions, OutlineSetsThePixelsOfACentredTwoPixelPen)
{
    // The banded outline must agree with stroking the rectangle, at any
    // pixel density.
    const QRect rects[]
        = {QRect(0, 0, 90, 21), QRect(1, 1, 89, 20), QRect(13, 0, 13, 26), QRect(0, 26, 63, 0), QRect(5, 5, 0, 10)};
    for (const qreal dpr : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        for (const QRect &r : rects) {
            QImage stroked(qCeil(100 * dpr), qCeil(40 * dpr), QImage::Format_ARGB32_Premultiplied);
            stroked.setDevicePixelRatio(dpr);
            stroked.fill(Qt::white);
            QImage banded = stroked;
            {
                QPainter p(&stroked);
                p.setPen(OffscreenPaint::Pen(kBlack));
                p.drawRect(QRectF(r.x(), r.y(), r.width(), r.height()));
            }
            {
                QPainter p(&banded);
                OffscreenPaint::Outline(p, OffscreenPaint::Pen(kBlack), r.x(), r.y(), r.width(), r.height());
            }
            EXPECT_EQ(FirstDifferingColumn(stroked, banded), -1)
                << dpr << " " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        }
    }
}

} // namespace

namespace {

TEST(PaintConventions, WidgetsNeverEraseAndStripsTakeNoFocus)
{
    FakeProfileStore store;
    const AnswerFace face;
    const TitleState title;
    const ProgressState progress;
    const MarkedState marked;
    CAnswerButton answer(&face);
    CLevelButton level(1, &store);
    CTitleBar titleBar(&title);
    CProgressBar progressBar(&progress);
    CMarkedBar markedBar(&marked);
    CTotalBar totalBar(&store);
    for (QWidget *widget :
         std::initializer_list<QWidget *> {&answer, &level, &titleBar, &progressBar, &markedBar, &totalBar}) {
        widget->resize(60, 20);
        widget->grab(); // polishes the widget with the style
        EXPECT_TRUE(widget->testAttribute(Qt::WA_OpaquePaintEvent)) << widget->metaObject()->className();
        EXPECT_FALSE(widget->autoFillBackground()) << widget->metaObject()->className();
    }
    for (QWidget *strip : std::initializer_list<QWidget *> {&titleBar, &progressBar, &markedBar, &totalBar}) {
        EXPECT_EQ(strip->focusPolicy(), Qt::NoFocus) << strip->metaObject()->className();
    }
    // The clicked controls are push buttons: Enter, Space and the default
    // button come from Qt.
    EXPECT_NE(qobject_cast<QPushButton *>(&answer), nullptr);
    EXPECT_NE(qobject_cast<QPushButton *>(&level), nullptr);
}

} // namespace
