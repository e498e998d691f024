#pragma once

#include "records/profile_store.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include <gtest/gtest.h>

// An in-memory profile of best results ("BestResult<level>") that counts its reads.
class FakeProfileStore : public ProfileStore
{
public:
    FakeProfileStore(std::initializer_list<std::pair<int, std::int32_t>> best = {})
    {
        for (const auto &[level, result] : best) {
            SetBest(level, result);
        }
    }
    // The same best result on all 20 levels.
    explicit FakeProfileStore(std::int32_t everyLevel)
    {
        for (int level = 1; level <= 20; ++level) {
            SetBest(level, everyLevel);
        }
    }
    std::int32_t GetProfileInt(std::string_view section, std::string_view entry, std::int32_t dflt) const override
    {
        ++reads;
        const auto it = ints.find(std::string(section) + "/" + std::string(entry));
        return it == ints.end() ? dflt : it->second;
    }
    std::u16string GetProfileString(std::string_view, std::string_view, std::u16string_view dflt) const override
    {
        ++reads;
        return std::u16string(dflt);
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override
    {
        ints[std::string(section) + "/" + std::string(entry)] = value;
    }
    void WriteProfileString(std::string_view, std::string_view, std::u16string_view) override { }
    void SetBest(int level, std::int32_t best)
    {
        WriteProfileInt(kResultsSection, "BestResult" + std::to_string(level), best);
    }

    mutable int reads = 0;

private:
    std::map<std::string, std::int32_t> ints;
};

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

// The colour a two-point ramp (straight channel blend, repeating) leaves
// at the centre of pixel (x, y) when composited over opaque white.
inline QRgb RampOverWhite(QPointF p1, QRgb c1, QPointF p2, QRgb c2, int x, int y)
{
    const double dx = p2.x() - p1.x();
    const double dy = p2.y() - p1.y();
    double t = ((x + 0.5 - p1.x()) * dx + (y + 0.5 - p1.y()) * dy) / (dx * dx + dy * dy);
    t -= std::floor(t);
    auto lerp = [t](int a, int b) { return a + (b - a) * t; };
    const double alpha = lerp(qAlpha(c1), qAlpha(c2)) / 255.0;
    auto over
        = [alpha](double channel) { return static_cast<int>(std::lround(channel * alpha + 255.0 * (1 - alpha))); };
    return qRgb(over(lerp(qRed(c1), qRed(c2))), over(lerp(qGreen(c1), qGreen(c2))), over(lerp(qBlue(c1), qBlue(c2))));
}

inline QRgb StripFillAt(int x, int y)
{
    return RampOverWhite({0, 0}, 0x00FF0040u, {64, 1000}, 0xFF0000FFu, x, y);
}
inline QRgb NavyFadeAt(int x, int y)
{
    return RampOverWhite({0, 0}, 0x00000020u, {0, 60}, 0xFF000040u, x, y);
}

// First column, scanning left to right, where two images of one size differ; -1 if none.
inline int FirstDifferingColumn(const QImage &a, const QImage &b)
{
    for (int x = 0; x < a.width(); ++x) {
        if (a.copy(x, 0, 1, a.height()) != b.copy(x, 0, 1, b.height())) {
            return x;
        }
    }
    return -1;
}

// Whether the caption's first ink lies at origin, allowing for the glyph's side bearing.
inline ::testing::AssertionResult InkStartsAt(const QImage &bare, const QImage &captioned, int origin)
{
    const int ink = FirstDifferingColumn(bare, captioned);
    if (ink >= origin - 1 && ink <= origin + 3) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "ink starts at " << ink << ", expected near " << origin;
}
