#pragma once

#include "tests/support/memory_profile_store.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

// A profile holding these levels' best results, and every other level's at others (0: none).
inline MemoryProfileStore Bests(std::initializer_list<std::pair<int, std::int32_t>> levels, std::int32_t others = 0)
{
    MemoryProfileStore store;
    for (int level = 1; level <= 20 && others != 0; ++level) {
        store.SetBest(level, others);
    }
    for (const auto &[level, best] : levels) {
        store.SetBest(level, best);
    }
    return store;
}

inline constexpr QRgb kBlack = 0xFF000000u;
inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kDarkGrey = 0xFF404040u;

// Channel-wise comparison, with slack for antialiasing and rounding.
inline ::testing::AssertionResult PixelNear(const QImage &image, int x, int y, QRgb want, int tolerance = 3)
{
    const QRgb a = image.valid(x, y) ? image.pixel(x, y) : want ^ 0x80808080u; // outside: fails
    if (std::max({std::abs(qRed(a) - qRed(want)), std::abs(qGreen(a) - qGreen(want)), std::abs(qBlue(a) - qBlue(want)),
                  std::abs(qAlpha(a) - qAlpha(want))})
        <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
        << QString::asprintf("pixel (%d, %d) is %08X, expected %08X", x, y, a, want).toStdString();
}

// A two-point ramp (straight channel blend, repeating) composited over opaque white.
struct Ramp
{
    QPointF p1, p2;
    QRgb c1, c2;

    // The colour it leaves at the centre of pixel (x, y).
    QRgb operator()(int x, int y) const
    {
        const double dx = p2.x() - p1.x();
        const double dy = p2.y() - p1.y();
        double t = ((x + 0.5 - p1.x()) * dx + (y + 0.5 - p1.y()) * dy) / (dx * dx + dy * dy);
        t -= std::floor(t);
        auto lerp = [t](int a, int b) { return a + (b - a) * t; };
        const double alpha = lerp(qAlpha(c1), qAlpha(c2)) / 255.0;
        auto over
            = [alpha](double channel) { return static_cast<int>(std::lround(channel * alpha + 255.0 * (1 - alpha))); };
        return qRgb(over(lerp(qRed(c1), qRed(c2))), over(lerp(qGreen(c1), qGreen(c2))),
                    over(lerp(qBlue(c1), qBlue(c2))));
    }
};

// The ramps the controls fill with; a level's bar runs from dark green at
// the left towards green over 164 px, the total's 30 px down.
inline constexpr Ramp StripFillAt {{0, 0}, {64, 1000}, 0x00FF0040u, 0xFF0000FFu};
inline constexpr Ramp NavyFadeAt {{0, 0}, {0, 60}, 0x00000020u, 0xFF000040u};
inline constexpr Ramp BarAt {{0, 10}, {164, 10}, 0xFF008000u, 0xFF00FF00u};
inline constexpr Ramp TotalBarAt {{0, 0}, {0, 30}, 0xFF008000u, 0xFF00FF00u};

// The box of a text's ink: the pixels less than half as bright as without
// the text, that is black text covering more than half of the pixel.
inline void PrintTo(const QRect &r, std::ostream *out)
{
    *out << r.width() << "x" << r.height() << " at (" << r.x() << ", " << r.y() << ")";
}

inline QRect InkBox(const QImage &bare, const QImage &with)
{
    QRect box;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (2 * qGray(with.pixel(x, y)) < qGray(bare.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// Where text in bold Times New Roman of an em size in pixels, its layout
// box's top-left corner at origin, puts its ink on an image of that size.
inline QRect ExpectedInk(const QString &text, int pixelSize, QPointF origin, QSize size)
{
    QImage white(size, QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    QImage drawn = white;
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    QPainter painter(&drawn);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(origin, QSizeF(4000, 4000)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.end();
    return InkBox(white, drawn);
}
