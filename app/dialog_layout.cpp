#include "app/dialog_layout.h"

#include <QApplication>
#include <QString>

namespace {
// round(value / divisor) for the non-negative values templates hold; halves go up.
int RoundDiv(int value, int divisor)
{
    return (2 * value + divisor) / (2 * divisor);
}
} // namespace

int DialogLayout::X(int dialogUnits) const
{
    return RoundDiv(dialogUnits * dialog_.baseX, 4);
}

int DialogLayout::Y(int dialogUnits) const
{
    return RoundDiv(dialogUnits * dialog_.baseY, 8);
}

QRect DialogLayout::ToPixels(int x, int y, int w, int h) const
{
    const int left = X(x);
    const int top = Y(y);
    return {left, top, X(x + w) - left, Y(y + h) - top};
}

QRect DialogLayout::ToPixels(const dialogs::Control &control) const
{
    return ToPixels(control.x, control.y, control.w, control.h);
}

QSize DialogLayout::ClientSize() const
{
    return {X(dialog_.width), Y(dialog_.height)};
}

QFont DialogLayout::Font() const
{
    if (dialog_.fontFamily.empty()) {
        return QApplication::font("QMessageBox");
    }
    QFont font(QString::fromUtf16(dialog_.fontFamily.data(), static_cast<qsizetype>(dialog_.fontFamily.size())));
    font.setPointSize(dialog_.pointSize);
    font.setBold(dialog_.bold);
    return font;
}
