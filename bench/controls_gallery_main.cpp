// Renders every control in its states at its real size into one picture,
// for looking at: scripts/gallery writes it to build/dev/controls-gallery.png.
//
//   pelko_gallery <out.png>
#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/window_backdrop.h"
#include "tests/support/memory_profile_store.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png\n", argv[0]);
        return 2;
    }
    QImage gallery(1020, 390, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&gallery);
    p.drawImage(0, 0, WindowBackdrop::Render(gallery.size()));
    p.drawImage(10, 10, CTitleBar::Render({24, 15.0f, u"       French Vocabulary (1 - 50)"}, QSize(347, 63)));
    p.drawImage(367, 10, CTitleBar::Render({50, 1.0f, u"   02 : 05"}, QSize(234, 58)));
    const AnswerFace faces[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        p.drawImage(10 + (i % 2) * 244, 83 + (i / 2) * 78, CAnswerButton::Render(faces[i], " the house\t", {234, 68}));
    }
    MemoryProfileStore store;
    const int best[] = {999, 50, 62, 74, 75, 49, 120};
    for (int level = 1; level <= 7; ++level) {
        store.SetBest(level, best[level - 1]);
        const QString caption = QString("%1 - %2").arg(level * 50 - 49).arg(level * 50);
        p.drawImage(510, 83 + (level - 1) * 25, CLevelButton::Render(level, &store, caption, {90, 21}));
    }
    p.drawImage(10, 270, CTotalBar::Render(&store, {670, 26}));
    MarkedState marks;
    for (int k = 1; k <= 50; ++k) {
        marks.marks[static_cast<std::size_t>(k)] = k % 3; // right, wrong, unanswered in turn
    }
    p.drawImage(10, 306, CMarkedBar::Render(marks, {670, 26}));
    p.drawImage(10, 342, CMarkedBar::Render(marks, {720, 26})); // cells 49 and 50 cut off
    const ProgressState gauges[] = {{0, 0}, {20, 50}, {21, 50}, {31, 50}, {50, 50}};
    for (int i = 0; i < 5; ++i) {
        p.drawImage(640 + i * 73, 10, CProgressBar::Render(gauges[i], {63, 250}));
    }
    p.end();
    if (!gallery.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
