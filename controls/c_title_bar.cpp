#include "controls/c_title_bar.h"

#include "controls/painted_control_accessible.h"

#include "controls/gradients.h"
#include "controls/offscreen_paint.h"

#include <QPainter>

CTitleBar::CTitleBar(const TitleState *state, QWidget *parent) : QWidget(parent), state_(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

QImage CTitleBar::Render(const TitleState &state, QSize size, qreal dpr)
{
    return OffscreenPaint::Render(
        size, dpr, QBrush(Gradients::StripFill()), OffscreenPaint::Frame::Bevel, [&](QPainter &painter, int, int) {
            // No font can be made with a size of 0 or less: no text then.
            if (state.fontSize <= 0) {
                return;
            }
            OffscreenPaint::DrawText(painter, OffscreenPaint::Font(state.fontSize), QPointF(0.0, state.textTop),
                                     QString::fromStdU16String(state.text));
        });
}

void CTitleBar::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(state_ ? *state_ : TitleState {}, size(), devicePixelRatioF()));
}
