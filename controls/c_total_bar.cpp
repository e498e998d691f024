#include "controls/c_total_bar.h"

#include "controls/painted_control_accessible.h"

#include "controls/gradients.h"
#include "controls/offscreen_paint.h"
#include "records/profile_keys.h"
#include "records/profile_store.h"

#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kLevels = 20;
}

CTotalBar::CTotalBar(const ProfileStore *store, QWidget *parent) : QWidget(parent), store_(store)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    PaintedControlAccessible::Install();
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

std::int64_t CTotalBar::Score(const ProfileStore *store)
{
    std::int64_t score = 0;
    if (store == nullptr) {
        return score;
    }
    for (int level = 1; level <= kLevels; ++level) {
        const std::int32_t b
            = store->GetProfileInt(kResultsSection, profile_keys::BestResult(level), profile_keys::kNoBestResult);
        if (b < profile_keys::kNoBestResult) {
            score += 100 - std::int64_t {b};
        }
    }
    return score;
}

int CTotalBar::BarWidth(int w, std::int64_t score)
{
    if (w <= 0) {
        return 0;
    }
    const double width = static_cast<double>(score) / static_cast<double>(kScoreMax) * w;
    // Clamped before the conversion so an absurd score cannot overflow it.
    return static_cast<int>(std::clamp(width, 0.0, static_cast<double>(w)));
}

QString CTotalBar::PercentText(std::int64_t score)
{
    const double p = std::clamp(static_cast<double>(score) / static_cast<double>(kScoreMax) * 100.0, 0.0, 100.0);
    // The C library's conversion, so halves round as the platform's printf does.
    char text[16];
    std::snprintf(text, sizeof text, "%3.0f%%", p);
    return QString::fromLatin1(text);
}

QImage CTotalBar::Render(const ProfileStore *store, QSize size, qreal dpr)
{
    return OffscreenPaint::Render(
        size, dpr, QBrush(Gradients::NavyFade()), OffscreenPaint::Frame::Bevel, [&](QPainter &painter, int w, int h) {
            const std::int64_t score = Score(store);
            const QBrush green(Gradients::Linear(QPointF(0, 0), 0xFF008000u, QPointF(0, 30), 0xFF00FF00u));
            OffscreenPaint::FillRect(painter, green, 0, 0, BarWidth(w, score), h);
            // Fixed position whatever the text's length.
            const float x = w * 0.5f - 11.0f;
            const float y = h * 0.5f - 11.0f;
            OffscreenPaint::DrawText(painter, OffscreenPaint::Font(20), QPointF(x, y), PercentText(score));
        });
}

void CTotalBar::paintEvent(QPaintEvent *)
{
    OffscreenPaint::Blit(*this, Render(store_, size(), devicePixelRatioF()));
}
