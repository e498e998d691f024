#include "controls/c_answer_button.h"

#include "tests/controls/controls_test_support.h"

namespace {

const QSize kSize(234, 68);

struct FaceCase
{
    AnswerFace face;
    QRgb colour;
    QRgb fadeStart;
};

TEST(AnswerButton, FaceColourFollowsTheVerdict)
{
    const FaceCase cases[] = {
        {{0, 0}, 0xFF000040u, 0x00000020u},  {{1, 0}, 0xFF00FF00u, 0x00007F00u},
        {{0, 1}, 0xFFFF0000u, 0x007F0000u},  {{1, 1}, 0xFFFF0000u, 0x007F0000u}, // wrong wins
        {{-7, 0}, 0xFF00FF00u, 0x00007F00u}, // any non-zero flag counts
    };
    for (const FaceCase &c : cases) {
        SCOPED_TRACE(Hex(c.colour).toStdString());
        EXPECT_EQ(CAnswerButton::FaceColour(c.face), c.colour);
        const QImage image = CAnswerButton::Render(c.face, QString(), kSize);
        // The ramp runs 100 px down from the fade start, whatever the height.
        for (const int y : {2, 20, 40, 65}) {
            EXPECT_TRUE(PixelNear(image, 117, y, RampOverWhite({0, 0}, c.fadeStart, {0, 100}, c.colour, 117, y)));
        }
    }
}

TEST(AnswerButton, CaptionStartsAtFivePixelsPerTrimmedUnit)
{
    const AnswerFace face;
    const QImage bare = CAnswerButton::Render(face, QString(), kSize);
    const struct
    {
        const char *text;
        int length;
    } cases[] = {
        {" - ", 1}, {"Speed Challenge", 15}, {" \tto go\t \r\n", 5}, {"WWW", 3}, {"iii", 3}, {"Exit", 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const int origin = kSize.width() / 2 - 5 * c.length;
        const int ink = FirstDifferingColumn(bare, CAnswerButton::Render(face, QString::fromLatin1(c.text), kSize));
        // Side bearings move the first ink a little right of the origin.
        EXPECT_GE(ink, origin - 1);
        EXPECT_LE(ink, origin + 3);
    }
}

TEST(AnswerButton, BlankCaptionDrawsNoText)
{
    const AnswerFace face {0, 1};
    EXPECT_EQ(CAnswerButton::Render(face, " \t  \t", kSize), CAnswerButton::Render(face, QString(), kSize));
}

TEST(AnswerButton, WidgetShowsTheRenderedFaceInEveryButtonState)
{
    AnswerFace face {1, 0};
    CAnswerButton button(&face);
    button.setText("  la maison\t");
    button.resize(kSize);
    const QImage expected = CAnswerButton::Render(face, button.text(), kSize);
    EXPECT_EQ(button.grab().toImage().convertToFormat(expected.format()), expected);
    button.setDown(true);
    button.setDefault(true);
    EXPECT_EQ(button.grab().toImage().convertToFormat(expected.format()), expected);
    // The owner writes the flags and repaints.
    face.showWrong = 1;
    EXPECT_EQ(button.grab().toImage().pixel(117, 65), CAnswerButton::Render(face, button.text(), kSize).pixel(117, 65));
}

} // namespace
