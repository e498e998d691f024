#pragma once

#include "drill/display_state.h"

#include <QImage>
#include <QSize>
#include <QWidget>

// The answer strip: one outlined cell per word of the level, filled from a
// strip-wide dark-grey-to-green ramp where the last answer was right.
class CMarkedBar : public QWidget
{
    Q_OBJECT

public:
    // state is owned by the caller and outlives the strip.
    explicit CMarkedBar(const MarkedState *state, QWidget *parent = nullptr);

    static QImage Render(const MarkedState &state, QSize size, qreal dpr = 1.0);
    // w / (cellCount - 2), truncated: 50 cells are laid at w / 48 each, so
    // the row may end short of the right edge or run past it. 0 when
    // cellCount leaves nothing to divide by.
    static int CellWidth(int w, int cellCount);

    const MarkedState *state() const { return state_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const MarkedState *state_;
};
