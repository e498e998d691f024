#include "controls/c_answer_button.h"

#include "tests/controls/controls_test_support.h"

#include <tuple>

namespace {

const QSize kSize(234, 68);

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
        const QImage image = CAnswerButton::Render(face, QString(), kSize);
        // The ramp runs 100 px down from the fade start, whatever the height.
        for (const int y : {2, 20, 40, 65}) {
            EXPECT_TRUE(PixelNear(image, 117, y, Ramp {{0, 0}, {0, 100}, fadeStart, colour}(117, y)));
        }
    }

    // The caption is bold Times of 20 px.
    const AnswerFace face;
    const QImage bare = CAnswerButton::Render(face, QString(), kSize);
    // The origin is (w / 2 - 5 per character, h / 2 - 11), not placed by the measured width: "WWW" and "iii"
    // start alike. The trimmed caption is drawn.
    for (const auto &[text, caption] :
         {std::pair {" - ", "-"}, std::pair {"Speed Challenge", "Speed Challenge"},
          std::pair {" \tto go\t \r\n", "to go"}, std::pair {"WWW", "WWW"}, std::pair {"iii", "iii"}}) {
        const QPointF origin(117 - 5 * QString(caption).size(), 23);
        EXPECT_EQ(InkBox(bare, CAnswerButton::Render(face, text, kSize)), ExpectedInk(caption, 20, origin, kSize))
            << text;
    }
    // A caption of blanks only draws nothing.
    EXPECT_EQ(CAnswerButton::Render(face, " \t  \t", kSize), bare);
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
