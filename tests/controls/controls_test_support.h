#pragma once

#include "records/profile_store.h"

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include <gtest/gtest.h>

// An in-memory profile that counts its reads.
class FakeProfileStore : public ProfileStore
{
public:
    std::int32_t GetProfileInt(std::string_view section, std::string_view entry,
                               std::int32_t defaultValue) const override
    {
        ++reads;
        const auto it = ints.find(Key(section, entry));
        return it == ints.end() ? defaultValue : it->second;
    }
    std::u16string GetProfileString(std::string_view section, std::string_view entry,
                                    std::u16string_view defaultValue) const override
    {
        ++reads;
        const auto it = strings.find(Key(section, entry));
        return it == strings.end() ? std::u16string(defaultValue) : it->second;
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, std::int32_t value) override
    {
        ints[Key(section, entry)] = value;
    }
    void WriteProfileString(std::string_view section, std::string_view entry, std::u16string_view value) override
    {
        strings[Key(section, entry)] = std::u16string(value);
    }

    void SetBest(int level, std::int32_t best)
    {
        WriteProfileInt(kResultsSection, "BestResult" + std::to_string(level), best);
    }

    mutable int reads = 0;

private:
    static std::string Key(std::string_view section, std::string_view entry)
    {
        return std::string(section) + "/" + std::string(entry);
    }
    std::map<std::string, std::int32_t> ints;
    std::map<std::string, std::u16string> strings;
};

inline constexpr QRgb kBlack = 0xFF000000u;
inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kDarkGrey = 0xFF404040u;

inline QString Hex(QRgb c)
{
    return QString::asprintf("%08X", c);
}

// Channel-wise distance, for antialiasing and rounding slack.
inline int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

inline ::testing::AssertionResult PixelNear(const QImage &image, int x, int y, QRgb expected, int tolerance = 3)
{
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return ::testing::AssertionFailure() << "(" << x << ", " << y << ") outside the image";
    }
    const QRgb actual = image.pixel(x, y);
    if (Distance(actual, expected) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << Hex(actual).toStdString()
                                         << ", expected " << Hex(expected).toStdString();
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
        for (int y = 0; y < a.height(); ++y) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return x;
            }
        }
    }
    return -1;
}
