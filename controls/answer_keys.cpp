#include "controls/answer_keys.h"

#include <QKeyEvent>

#include <array>

namespace {

constexpr std::array<int, 4> kFrenchTopRow {Qt::Key_Ampersand, Qt::Key_Eacute, Qt::Key_QuoteDbl, Qt::Key_Apostrophe};

// Where the key sits, when the platform says: the digit k+1 of the top row.
// Events made by a program carry no scan code and count by their key alone.
bool OnDigitKey(quint32 scanCode, int k)
{
    if (scanCode == 0) {
        return true;
    }
#ifdef Q_OS_WIN
    return scanCode == static_cast<quint32>(0x02 + k); // set-1 scan codes
#else
    return scanCode == static_cast<quint32>(10 + k); // X11 / evdev key codes
#endif
}

} // namespace

int AnswerKeys::FrenchTopRow(const QKeyEvent &event)
{
    if (event.modifiers() != Qt::NoModifier) {
        return -1;
    }
    for (int k = 0; k < 4; ++k) {
        if (event.key() == kFrenchTopRow[static_cast<std::size_t>(k)] && OnDigitKey(event.nativeScanCode(), k)) {
            return k;
        }
    }
    return -1;
}

int AnswerKeys::Answer(const QKeyEvent &event)
{
    const int key = event.key();
    if (key >= Qt::Key_1 && key <= Qt::Key_4) {
        return key - Qt::Key_1;
    }
    return FrenchTopRow(event);
}
