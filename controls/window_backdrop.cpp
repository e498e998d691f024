#include "controls/window_backdrop.h"

#include "controls/gradients.h"
#include "controls/offscreen_paint.h"

QLinearGradient WindowBackdrop::Gradient()
{
    return Gradients::Linear(QPointF(0, 0), 0x00000020u, QPointF(64, 1000), 0xFF000040u);
}

QImage WindowBackdrop::Render(QSize size, qreal dpr)
{
    return OffscreenPaint::Render(size, dpr, QBrush(Gradient()), OffscreenPaint::Frame::None,
                                  [](QPainter &, int, int) {});
}
