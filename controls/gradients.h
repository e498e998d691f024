#pragma once

#include <QLinearGradient>
#include <QPointF>
#include <QRgb>

// The two-point ramps every face is built from. Colours are AARRGGBB; the
// ramp repeats beyond its two points, and the colour channels are blended
// as they are written (not premultiplied), so a first colour with alpha 00
// still tints the start of the fade over the white background.
class Gradients
{
public:
    static QLinearGradient Linear(QPointF first, QRgb firstColour, QPointF second, QRgb secondColour);

    // Near-white with a rose tint, deepening slowly towards blue: title
    // strips, the progress gauge and the marked strip.
    static QLinearGradient StripFill();
    // White into a greyish navy over 60 pixels: level buttons and the total
    // strip.
    static QLinearGradient NavyFade();
};
