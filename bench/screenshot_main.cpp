// Renders the main window in the middle of a drill into a PNG, on a
// throw-away profile that holds a few finished levels (scripts/screenshot).
#include "app/c_pelko_dlg.h"
#include "records/profile_keys.h"
#include "res/control_ids.h"
#include "stores/posix/qsettings_profile_store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    QSettingsProfileStore store(dir.filePath(QStringLiteral("pelko.conf")));
    const int best[] = {50, 53, 58, 62, 70};
    for (int level = 1; level <= 5; ++level) {
        store.WriteProfileInt("Results", profile_keys::BestResult(level), best[level - 1]);
        store.WriteProfileString("Results", profile_keys::Result(level, 1), u"  02 mins, 41 secs Tries :58");
    }

    std::int64_t now = 1'700'000'000;
    CpelkoDlg dialog(store);
    dialog.setClock([&now] { return now; });
    dialog.show();
    DrillEngine &engine = dialog.engine();
    engine.SelectLevel(3);
    // A few answers, one wrong, then a fresh question on screen.
    for (int i = 0; i < 7; ++i) {
        const int slot = engine.session().answerSlot;
        engine.AnswerClicked(i == 4 ? (slot + 1) % 4 : slot);
        for (int t = 0; t < 6 && engine.session().answerPause > 0; ++t) {
            now += (t % 5 == 0) ? 1 : 0;
            engine.OnDrillTimer();
        }
    }
    engine.AnswerClicked(engine.session().answerSlot);
    QApplication::processEvents();
    if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
