#pragma once

#include "drill/display_state.h"

#include <QImage>
#include <QPushButton>
#include <QRgb>
#include <QSize>
#include <QString>

// The answer and command buttons: a fade from white into the verdict
// colour (navy undecided, green right, red wrong) with the caption near the
// middle. The face ignores pressed, focused and hovered states.
class CAnswerButton : public QPushButton
{
    Q_OBJECT

public:
    // face is owned by the caller and outlives the button; the caption is
    // the button's text().
    explicit CAnswerButton(const AnswerFace *face, QWidget *parent = nullptr);

    static QImage Render(const AnswerFace &face, const QString &windowText, QSize size, qreal dpr = 1.0);
    // FF000040 navy, FF00FF00 green for showRight, FFFF0000 red for
    // showWrong (which wins when both are set).
    static QRgb FaceColour(const AnswerFace &face);

    const AnswerFace *face() const { return face_; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const AnswerFace *face_;
};
