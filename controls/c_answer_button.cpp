#include "controls/c_answer_button.h"

#include "controls/painted_control_accessible.h"

#include "controls/gradients.h"
#include "controls/offscreen_paint.h"

#include <QEvent>
#include <QPainter>

CAnswerButton::CAnswerButton(const AnswerFace *face, QWidget *parent) : QPushButton(parent), face_(face)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
}

QRgb CAnswerButton::FaceColour(const AnswerFace &face)
{
    QRgb colour = 0xFF000040u;
    if (face.showRight != 0) {
        colour = 0xFF00FF00u;
    }
    if (face.showWrong != 0) {
        colour = 0xFFFF0000u;
    }
    return colour;
}

QImage CAnswerButton::Render(const AnswerFace &face, const QString &windowText, QSize size, qreal dpr)
{
    const QRgb colour = FaceColour(face);
    // The fade starts transparent, at half of each colour channel.
    const QRgb fadeStart = qRgba(qRed(colour) / 2, qGreen(colour) / 2, qBlue(colour) / 2, 0);
    // A fixed 100-pixel ramp, so a low button never reaches the full colour.
    const QBrush background(Gradients::Linear(QPointF(0, 0), fadeStart, QPointF(0, 100), colour));

    return OffscreenPaint::Render(
        size, dpr, background, OffscreenPaint::Frame::Bevel,
        [&](QPainter &painter, int w, int h) { OffscreenPaint::DrawCaption(painter, w, h, windowText, 5.0f, 20); });
}

bool CAnswerButton::event(QEvent *event)
{
    const bool handled = QPushButton::event(event);
    OffscreenPaint::KeepOpaque(*this, *event);
    return handled;
}

void CAnswerButton::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(face_ ? *face_ : AnswerFace {}, text(), size(), devicePixelRatioF()));
}
