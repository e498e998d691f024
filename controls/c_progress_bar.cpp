#include "controls/c_progress_bar.h"

#include "controls/painted_control_accessible.h"

#include "controls/bevel_frame.h"
#include "controls/gradients.h"
#include "controls/offscreen_paint.h"

#include <QPainter>

#include <algorithm>

namespace {

double LevelFraction(const ProgressState &state)
{
    return static_cast<double>(state.credit) / static_cast<double>(state.creditMax);
}

} // namespace

CProgressBar::CProgressBar(const ProgressState *state, QWidget *parent) : QWidget(parent), state_(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

int CProgressBar::LevelHeight(const ProgressState &state, int h)
{
    if (state.creditMax == 0 || h <= 0) {
        return 0;
    }
    // A credit outside 0..creditMax must not turn into a level outside the
    // gauge (or an out-of-range conversion).
    const double height = std::clamp(LevelFraction(state) * h, 0.0, static_cast<double>(h));
    return static_cast<int>(height);
}

QRgb CProgressBar::GaugeColour(const ProgressState &state)
{
    if (state.creditMax == 0) {
        return 0xFFFF0000u;
    }
    const double q = LevelFraction(state);
    if (q <= 0.4) {
        return 0xFFFF0000u;
    }
    if (q <= 0.6) {
        return 0xFFFFFF00u;
    }
    return 0xFF00FF00u;
}

QImage CProgressBar::Render(const ProgressState &state, QSize size, qreal dpr)
{
    return OffscreenPaint::Render(
        size, dpr, QBrush(Gradients::StripFill()), OffscreenPaint::Frame::Bevel, [&](QPainter &painter, int w, int h) {
            if (state.creditMax == 0) {
                return; // no drill yet
            }
            const int height = LevelHeight(state, h);
            const int top = h - height;
            const QBrush level(Gradients::Linear(QPointF(0, 10), 0xFF404040u, QPointF(64, 10), GaugeColour(state)));
            OffscreenPaint::FillRect(painter, level, 0, top, w, height);
            // Its upper edge is the black line that marks the level.
            OffscreenPaint::Outline(painter, OffscreenPaint::Pen(BevelFrame::kBlack), 0, top, w, height);
        });
}

void CProgressBar::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(state_ ? *state_ : ProgressState {}, size(), devicePixelRatioF()));
}
