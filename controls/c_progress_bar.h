#pragma once

#include "drill/display_state.h"

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QWidget>

// The time-credit gauge: a level rising from the bottom, credit / creditMax
// of the height, green above 0.6, yellow above 0.4, red below.
class CProgressBar : public QWidget
{
    Q_OBJECT

public:
    // state is owned by the caller and outlives the gauge.
    explicit CProgressBar(const ProgressState *state, QWidget *parent = nullptr);

    static QImage Render(const ProgressState &state, QSize size, qreal dpr = 1.0);
    // Height of the level in pixels, truncated, within 0..h; 0 while
    // creditMax is 0.
    static int LevelHeight(const ProgressState &state, int h);
    static QRgb GaugeColour(const ProgressState &state);

    const ProgressState *state() const { return state_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const ProgressState *state_;
};
