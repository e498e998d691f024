#pragma once

#include "drill/display_state.h"

#include <QImage>
#include <QSize>
#include <QWidget>

// A text strip (level title, clock): state.text drawn untrimmed at
// (0, textTop) in a font of state.fontSize pixels. Its window text plays
// no part.
class CTitleBar : public QWidget
{
    Q_OBJECT

public:
    // state is owned by the caller and outlives the strip.
    explicit CTitleBar(const TitleState *state, QWidget *parent = nullptr);

    static QImage Render(const TitleState &state, QSize size, qreal dpr = 1.0);

    const TitleState *state() const { return state_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TitleState *state_;
};
