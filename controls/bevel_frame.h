#pragma once

#include <QRgb>

class QPainter;

// The raised frame every control draws last: a black outer edge, a white
// line inside it along the top and left, a dark grey one along the right
// and bottom.
class BevelFrame
{
public:
    static constexpr QRgb kBlack = 0xFF000000u;
    static constexpr QRgb kWhite = 0xFFFFFFFFu;
    static constexpr QRgb kDarkGrey = 0xFF404040u;

    static void Draw(QPainter &painter, int w, int h);
};
