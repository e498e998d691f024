#include "controls/bevel_frame.h"

#include "controls/offscreen_paint.h"

#include <QPainter>

void BevelFrame::Draw(QPainter &painter, int w, int h)
{
    // Each rectangle covers the previous ones where they overlap.
    OffscreenPaint::Outline(painter, OffscreenPaint::Pen(kWhite), 1, 1, w - 1, h - 1);
    OffscreenPaint::Outline(painter, OffscreenPaint::Pen(kDarkGrey), 0, 0, w - 1, h - 1);
    OffscreenPaint::Outline(painter, OffscreenPaint::Pen(kBlack), 0, 0, w, h);
}
