#include "controls/gradients.h"

#include <QColor>

QLinearGradient Gradients::Linear(QPointF first, QRgb firstColour, QPointF second, QRgb secondColour)
{
    QLinearGradient gradient(first, second);
    gradient.setColorAt(0.0, QColor::fromRgba(firstColour));
    gradient.setColorAt(1.0, QColor::fromRgba(secondColour));
    gradient.setSpread(QGradient::RepeatSpread);
    gradient.setInterpolationMode(QGradient::ComponentInterpolation);
    return gradient;
}

QLinearGradient Gradients::StripFill()
{
    return Linear(QPointF(0, 0), 0x00FF0040u, QPointF(64, 1000), 0xFF0000FFu);
}

QLinearGradient Gradients::NavyFade()
{
    return Linear(QPointF(0, 0), 0x00000020u, QPointF(0, 60), 0xFF000040u);
}
