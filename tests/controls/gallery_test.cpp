// Renders every control in its states at its real size into one picture,
// for looking at: controls-gallery.png next to the test binary.
#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/window_backdrop.h"

#include "tests/controls/controls_test_support.h"

#include <QDir>
#include <QPainter>

#include <climits>

namespace {

QString LevelCaption(int level)
{
    const int first = level * 50 - 49;
    const int last = level * 50;
    return level <= 2 ? QString("%1-%2").arg(first).arg(last) : QString("%1 - %2").arg(first).arg(last);
}

TEST(Gallery, RendersEveryControlInItsStates)
{
    QImage gallery(1174, 1040, QImage::Format_ARGB32_Premultiplied);
    gallery.fill(0xFF808080u);
    QPainter p(&gallery);
    QFont labelFont("DejaVu Sans");
    labelFont.setPixelSize(11);
    p.setFont(labelFont);
    auto label = [&p](int x, int y, const QString &text) {
        p.setPen(Qt::white);
        p.drawText(QPointF(x, y), text);
    };

    // The dialog's backdrop, with the top of the window laid on it.
    p.drawImage(10, 10, WindowBackdrop::Render(QSize(1154, 588)));
    const int ox = 20;
    const int oy = 20;
    const TitleState levelTitle {24, 15.0f, u"       French Vocabulary (1 - 50)"};
    const TitleState clock {50, 1.0f, u"   02 : 05"};
    const TitleState emptyClock {50, 1.0f, u""};
    p.drawImage(ox, oy, CTitleBar::Render(levelTitle, QSize(347, 63)));
    p.drawImage(ox + 357, oy, CTitleBar::Render(clock, QSize(234, 58)));
    p.drawImage(ox + 601, oy, CTitleBar::Render(emptyClock, QSize(234, 58)));

    const struct
    {
        AnswerFace face;
        const char *text;
    } buttons[] = {
        {{0, 0}, " the house\t"},
        {{1, 0}, "  the cat "},
        {{0, 1}, "\tthe dog"},
        {{1, 1}, "both flags"},
        {{0, 0}, " - "},
        {{0, 0}, " \t "},
        {{0, 0}, "a caption far too long for the button"},
        {{0, 0}, "Exit"},
        {{0, 0}, "Review"},
        {{0, 0}, "Start Practise"},
        {{0, 0}, "Speed Challenge"},
        {{0, 0}, "About"},
    };
    for (int i = 0; i < 12; ++i) {
        const int x = ox + (i % 3) * 244;
        const int y = oy + 73 + (i / 3) * 78;
        p.drawImage(x, y, CAnswerButton::Render(buttons[i].face, buttons[i].text, QSize(234, 68)));
    }

    FakeProfileStore store;
    const std::int32_t best[20]
        = {999, 50, 55, 62, 70, 74, 75, 120, 49, INT_MIN, 999, 51, 60, 65, 72, 998, 999, 58, 999, 100};
    for (int level = 1; level <= 20; ++level) {
        store.SetBest(level, best[level - 1]);
    }
    for (int level = 1; level <= 20; ++level) {
        const int x = ox + 830 + ((level - 1) / 10) * 100;
        const int y = oy + 73 + ((level - 1) % 10) * 25;
        p.drawImage(x, y, CLevelButton::Render(level, &store, LevelCaption(level), QSize(90, 21)));
    }
    p.drawImage(ox, oy + 400, CTotalBar::Render(&store, QSize(670, 26)));

    MarkedState marks;
    for (int k = 1; k <= 50; ++k) {
        marks.marks[static_cast<std::size_t>(k)] = k % 3 == 0 ? 2 : (k % 4 == 0 ? 0 : 1);
    }
    p.drawImage(ox, oy + 436, CMarkedBar::Render(marks, QSize(670, 26)));
    const ProgressState running {35, 50};
    p.drawImage(ox + 742, oy + 73, CProgressBar::Render(running, QSize(63, 378)));

    // Below the window: the states one by one.
    const int by = 620;
    const ProgressState gauges[] = {{0, 0}, {0, 50}, {20, 50}, {21, 50}, {31, 50}, {50, 50}};
    const char *gaugeNames[] = {"max 0", "0", "20", "21", "31", "50"};
    for (int i = 0; i < 6; ++i) {
        label(10 + i * 73, by - 3, gaugeNames[i]);
        p.drawImage(10 + i * 73, by, CProgressBar::Render(gauges[i], QSize(63, 378)));
    }
    MarkedState noMarks;
    MarkedState allRight;
    allRight.marks.fill(1);
    MarkedState wide = marks;
    FakeProfileStore empty;
    FakeProfileStore some;
    some.SetBest(1, 50);
    some.SetBest(2, 62);
    FakeProfileStore full;
    for (int l = 1; l <= 20; ++l) {
        full.SetBest(l, 50);
    }
    FakeProfileStore negative;
    negative.SetBest(1, 120);
    const int sx = 450;
    int sy = by;
    auto strip = [&](const QString &name, const QImage &image) {
        label(sx, sy - 3, name);
        p.drawImage(sx, sy, image);
        sy += 44;
    };
    strip("marked: none", CMarkedBar::Render(noMarks, QSize(670, 26)));
    strip("marked: all right", CMarkedBar::Render(allRight, QSize(670, 26)));
    strip("marked: 720 wide (cells 49, 50 cut off)", CMarkedBar::Render(wide, QSize(720, 26)));
    strip("total: empty", CTotalBar::Render(&empty, QSize(670, 26)));
    strip("total: 50 + 62", CTotalBar::Render(&some, QSize(670, 26)));
    strip("total: all 50", CTotalBar::Render(&full, QSize(670, 26)));
    strip("total: negative", CTotalBar::Render(&negative, QSize(670, 26)));
    strip("title: empty", CTitleBar::Render(TitleState {24, 15.0f, u""}, QSize(347, 63)));
    p.end();

    const QString path = QDir(PELKO_GALLERY_DIR).filePath("controls-gallery.png");
    ASSERT_TRUE(gallery.save(path)) << path.toStdString();
}

} // namespace
