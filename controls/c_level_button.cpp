#include "controls/c_level_button.h"

#include "controls/painted_control_accessible.h"

#include "controls/gradients.h"
#include "controls/offscreen_paint.h"
#include "records/profile_keys.h"
#include "records/profile_store.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

CLevelButton::CLevelButton(int level, const ProfileStore *store, QWidget *parent)
    : QPushButton(parent), level_(level), store_(store)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
}

std::int32_t CLevelButton::BestResult(const ProfileStore *store, int level)
{
    if (store == nullptr) {
        return profile_keys::kNoBestResult;
    }
    return store->GetProfileInt(kResultsSection, profile_keys::BestResult(level), profile_keys::kNoBestResult);
}

int CLevelButton::BarWidth(int w, std::int32_t bestResult)
{
    if (bestResult >= profile_keys::kNoBestResult || w <= 0) {
        return 0;
    }
    // The stored value is learner-editable. Every result below 50 already
    // gives more than the full width, so raising it to 0 changes nothing
    // drawn and keeps the 64-bit product far from overflow.
    const std::int64_t b = std::max<std::int32_t>(bestResult, 0);
    const std::int64_t width = (std::int64_t {w} * (75 - b) * 2) / 50;
    return static_cast<int>(std::clamp<std::int64_t>(width, 0, w));
}

QImage CLevelButton::Render(int level, const ProfileStore *store, const QString &windowText, QSize size, qreal dpr)
{
    return OffscreenPaint::Render(
        size, dpr, QBrush(Gradients::NavyFade()), OffscreenPaint::Frame::Bevel, [&](QPainter &painter, int w, int h) {
            const int bar = BarWidth(w, BestResult(store, level));
            if (bar > 0) {
                const QBrush green(Gradients::Linear(QPointF(0, 10), 0xFF008000u, QPointF(164, 10), 0xFF00FF00u));
                OffscreenPaint::FillRect(painter, green, 0, 0, bar, h);
            }
            OffscreenPaint::DrawCaption(painter, w, h, windowText, 4.0f, 16);
        });
}

bool CLevelButton::event(QEvent *event)
{
    const bool handled = QPushButton::event(event);
    OffscreenPaint::KeepOpaque(*this, *event);
    return handled;
}

void CLevelButton::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(level_, store_, text(), size(), devicePixelRatioF()));
}
