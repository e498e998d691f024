#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QSize>

// The main dialog's own background: a fade from white at the top into
// navy, 1000 pixels down and slanting 64 to the right, with no frame. It
// depends only on the client size; the child controls paint over it.
class WindowBackdrop
{
public:
    static QImage Render(QSize size, qreal dpr = 1.0);
    static QLinearGradient Gradient();
};
