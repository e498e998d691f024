#include "controls/c_marked_bar.h"

#include "controls/painted_control_accessible.h"

#include "controls/bevel_frame.h"
#include "controls/gradients.h"
#include "controls/offscreen_paint.h"

#include <QPainter>

#include <algorithm>

CMarkedBar::CMarkedBar(const MarkedState *state, QWidget *parent) : QWidget(parent), state_(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

int CMarkedBar::CellWidth(int w, int cellCount)
{
    if (cellCount <= 2) {
        return 0;
    }
    return w / (cellCount - 2);
}

QImage CMarkedBar::Render(const MarkedState &state, QSize size, qreal dpr)
{
    return OffscreenPaint::Render(
        size, dpr, QBrush(Gradients::StripFill()), OffscreenPaint::Frame::Bevel, [&](QPainter &painter, int w, int h) {
            // Anchored to the strip, not to each cell: cells further right are brighter.
            const QBrush cellBrush(Gradients::Linear(QPointF(0, 10), 0xFF202020u, QPointF(740, 10), 0xFF00FF00u));
            const QPen black = OffscreenPaint::Pen(BevelFrame::kBlack);
            if (state.cellCount <= 2) {
                return; // no cell width to lay them out with
            }
            const int c = CellWidth(w, state.cellCount);
            // marks has one slot per word plus the unused slot 0.
            const int cells = std::min<int>(state.cellCount, static_cast<int>(state.marks.size()) - 1);
            for (int i = 1; i <= cells; ++i) {
                const int x = (i - 1) * c;
                if (x > w) {
                    break; // beyond the right edge, and so is every later cell
                }
                OffscreenPaint::Outline(painter, black, x, 0, c, h);
                if (state.marks[static_cast<std::size_t>(i)] == 1) {
                    OffscreenPaint::FillRect(painter, cellBrush, x, 0, c, h);
                }
            }
        });
}

void CMarkedBar::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(state_ ? *state_ : MarkedState {}, size(), devicePixelRatioF()));
}
