// The main window used from the keyboard alone: the French keyboard's answer
// keys, the keys that switch the lists and tell the time, what is announced,
// and the focus frame that shows only while the keys are used.

#include "controls/answer_keys.h"
#include "controls/focus_cue.h"
#include "drill/spoken_text.h"
#include "tests/support/main_window.h"

#include <QImage>
#include <QKeyEvent>

#include <tuple>

namespace {

using namespace ids::main;

// A key as a French (AZERTY) keyboard's top row sends it, unshifted.
struct FrenchKey
{
    Qt::Key key;
    const char16_t *text;
};
constexpr FrenchKey kFrenchTopRow[]
    = {{Qt::Key_Ampersand, u"&"}, {Qt::Key_Eacute, u"é"}, {Qt::Key_QuoteDbl, u"\""}, {Qt::Key_Apostrophe, u"'"}};

QKeyEvent KeyPress(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   quint32 scanCode = 0)
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
}

TEST(AnswerKeysTest, FrenchTopRowAnswersUnshiftedAndNothingElseChangesMeaning)
{
    for (int k = 0; k < 4; ++k) {
        const FrenchKey &french = kFrenchTopRow[k];
        const QString text = QString::fromUtf16(french.text);
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text)), k) << k;
        // Where the platform names the key, it must be the digit's own.
#ifdef Q_OS_WIN
        const quint32 digitKey = 0x02 + k;
#else
        const quint32 digitKey = 10 + k;
#endif
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::NoModifier, digitKey)), k) << k;
        // Typed with Shift (a US or German keyboard), or from another key, it is text.
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::ShiftModifier)), -1) << k;
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(french.key, text, Qt::NoModifier, digitKey + 30)), -1) << k;
        EXPECT_EQ(AnswerKeys::Answer(KeyPress(static_cast<Qt::Key>(Qt::Key_1 + k), QString::number(k + 1))), k);
        EXPECT_EQ(AnswerKeys::Answer(
                      KeyPress(static_cast<Qt::Key>(Qt::Key_1 + k), QString::number(k + 1), Qt::KeypadModifier)),
                  k);
    }
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_5, QStringLiteral("5"))), -1);
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_ParenLeft, QStringLiteral("("))), -1); // AZERTY's 5
    EXPECT_EQ(AnswerKeys::Answer(KeyPress(Qt::Key_Egrave, QStringLiteral("è"))), -1); // AZERTY's 7
}

class KeyboardTest : public MainWindowTest
{
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Send(QKeyEvent event) { QApplication::sendEvent(QApplication::focusWidget(), &event); }
};

TEST_F(KeyboardTest, FrenchTopRowKeysAnswerLikeTheDigitsWhereverTheFocusIs)
{
    for (int k = 0; k < 4; ++k) {
        engine().StartDrill();
        List(kAnswerLog)->setFocus(); // whose type-ahead would otherwise take the key
        Announced(); // the question, heard before the answer
        const bool right = k == engine().session().answerSlot;
        Send(KeyPress(kFrenchTopRow[k].key, QString::fromUtf16(kFrenchTopRow[k].text)));
        EXPECT_TRUE(Announced().startsWith(right ? QStringLiteral("right") : QStringLiteral("wrong: ")))
            << k << ": " << Announced().toStdString();
    }
}

TEST_F(KeyboardTest, QuestionsAndTheTimeAreAnnouncedAndListRowsReadInWords)
{
    Button(kStartPractise)->setFocus();
    Key(Qt::Key_Space);
    const QString question = Announced();
    EXPECT_TRUE(question.startsWith(QString::fromStdU16String(SpokenText::Plain(engine().words()[1].french)) + ". 1 "))
        << question.toStdString();
    EXPECT_FALSE(question.contains(QLatin1Char('\t')) || question.contains(QStringLiteral("  ")));

    // The time on T, without moving the focus.
    now += 75;
    Key(Qt::Key_T);
    EXPECT_EQ(Announced(), QStringLiteral("1 minute 15 seconds so far, 0 of 50 right"));
    EXPECT_EQ(QApplication::focusWidget(), Button(kStartPractise));

    Key(static_cast<Qt::Key>(Qt::Key_1 + (engine().session().answerSlot + 1) % 4));
    const QTreeWidgetItem *row = List(kAnswerLog)->topLevelItem(0);
    EXPECT_EQ(row->data(0, Qt::AccessibleTextRole).toString(),
              "Incorrect: " + question.section('.', 0, 0) + " means " + Announced().section(" means ", 1));
}

TEST_F(KeyboardTest, TabKeysSwitchTheListsAndTakeTheFocusToTheRowShown)
{
    profile.store().WriteProfileString("Results", "Result1_1", u"  01 mins, 10 secs Tries :52");
    engine().ShowLevelResults();
    engine().StartDrill();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    const auto shown = [this] {
        return std::tuple(List(kAnswerLog)->isVisible(), List(kResultsList)->isVisible(),
                          QApplication::focusWidget() == List(kAnswerLog)         ? 0
                              : QApplication::focusWidget() == List(kResultsList) ? 1
                                                                                  : -1);
    };
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    EXPECT_EQ(List(kResultsList)->currentItem(), List(kResultsList)->topLevelItem(0));
    EXPECT_EQ(List(kResultsList)->currentItem()->data(0, Qt::AccessibleTextRole).toString(),
              QStringLiteral("1 minute 10 seconds, 52 tries"));
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(true, false, 0));
    EXPECT_EQ(List(kAnswerLog)->currentItem(), List(kAnswerLog)->topLevelItem(0));
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(), std::tuple(true, false, 0));

    // The end of a practise shows the Results in place of the focused log:
    // the focus goes along to the list shown.
    while (engine().session().currentWord != -1) {
        engine().AnswerClicked(engine().session().answerSlot);
        for (int tick = 0; tick < 3; ++tick) {
            Announced();
            engine().OnDrillTimer();
        }
    }
    EXPECT_EQ(shown(), std::tuple(false, true, 1));
    EXPECT_TRUE(Announced().startsWith(QStringLiteral("Practise complete: "))) << Announced().toStdString();
}

// The focus frame is laid over the focused control; mouse use leaves the
// window exactly as it was drawn before.
TEST_F(KeyboardTest, FocusFrameShowsAfterKeysOnlyAndGoesAtTheNextClick)
{
    const QImage untouched = dialog->grab().toImage();
    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(dialog->focusCue().frame(), nullptr);
    EXPECT_EQ(dialog->grab().toImage(), untouched);

    Key(Qt::Key_Tab);
    QApplication::processEvents();
    QWidget *focused = QApplication::focusWidget();
    ASSERT_EQ(focused, Button(kStartPractise));
    ASSERT_NE(dialog->focusCue().frame(), nullptr);
    const QImage framed = dialog->grab().toImage();
    const QRect face = focused->geometry();
    // Black on the control's edge, white inside it, the face untouched within.
    EXPECT_EQ(framed.pixel(face.left(), face.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(framed.pixel(face.left() + 2, face.center().y()), qRgb(255, 255, 255));
    EXPECT_EQ(framed.pixel(face.center()), untouched.pixel(face.center()));
    int changedOutside = 0;
    for (int y = 0; y < framed.height(); ++y) {
        for (int x = 0; x < framed.width(); ++x) {
            changedOutside += !face.contains(x, y) && framed.pixel(x, y) != untouched.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(changedOutside, 0);

    // It follows the focus, on the answer keys too.
    engine().StartDrill();
    Key(Qt::Key_Down);
    QApplication::processEvents();
    ASSERT_NE(dialog->focusCue().frame(), nullptr);
    EXPECT_EQ(dialog->focusCue().frame()->geometry(), QApplication::focusWidget()->geometry());

    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(dialog->focusCue().frame(), nullptr);
    engine().StartDrill();
    Send(KeyPress(Qt::Key_Eacute, QStringLiteral("é")));
    EXPECT_NE(dialog->focusCue().frame(), nullptr);
}

} // namespace
