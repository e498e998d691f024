#include "controls/offscreen_paint.h"

#include <QFontMetricsF>
#include <QRectF>
#include <QtMath>

QImage OffscreenPaint::Begin(QSize size, qreal dpr)
{
    if (size.width() <= 0 || size.height() <= 0) {
        return {};
    }
    if (!(dpr > 0.0)) {
        dpr = 1.0;
    }
    // Rendered at the screen's pixel density; painters keep logical coordinates.
    QImage image(qCeil(size.width() * dpr), qCeil(size.height() * dpr), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image; // out of memory: draw nothing
    }
    image.setDevicePixelRatio(dpr);
    image.fill(0xFFFFFFFFu);
    return image;
}

QPen OffscreenPaint::Pen(QRgb colour)
{
    QPen pen(QColor::fromRgba(colour), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    return pen;
}

QFont OffscreenPaint::Font(int pixelSize)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    return font;
}

void OffscreenPaint::FillRect(QPainter &painter, const QBrush &brush, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0) {
        return;
    }
    painter.fillRect(QRectF(x, y, w, h), brush);
}

void OffscreenPaint::Outline(QPainter &painter, const QPen &pen, int x, int y, int w, int h)
{
    // A 2-wide pen centred on an axis-aligned outline with mitred corners
    // covers exactly these four bands; filling them is much cheaper than
    // stroking the path and sets the same pixels.
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    if (w == 0 || h == 0) {
        // A flat rectangle is a line, whose ends the stroker does not extend.
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(x, y, w, h));
        return;
    }
    const QBrush brush = pen.brush();
    const qreal half = pen.widthF() / 2;
    const qreal left = x - half;
    const qreal top = y - half;
    const qreal width = w + pen.widthF();
    const qreal height = h + pen.widthF();
    painter.fillRect(QRectF(left, top, width, pen.widthF()), brush);
    painter.fillRect(QRectF(left, y + h - half, width, pen.widthF()), brush);
    painter.fillRect(QRectF(left, top, pen.widthF(), height), brush);
    painter.fillRect(QRectF(x + w - half, top, pen.widthF(), height), brush);
}

void OffscreenPaint::DrawText(QPainter &painter, const QFont &font, QPointF origin, const QString &text)
{
    if (text.isEmpty()) {
        return;
    }
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(0xFF000000u));
    const QFontMetricsF metrics(font);
    painter.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), text);
}

void OffscreenPaint::Blit(QWidget &widget, const QImage &image)
{
    if (image.isNull()) {
        return;
    }
    QPainter painter(&widget);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image);
}

void OffscreenPaint::DrawCaption(QPainter &painter, int w, int h, const QString &windowText, float unitWidth,
                                 int fontSize)
{
    const QString caption = windowText.trimmed();
    const float x = w * 0.5f - static_cast<float>(caption.size()) * unitWidth;
    const float y = h * 0.5f - 11.0f;
    DrawText(painter, Font(fontSize), QPointF(x, y), caption);
}

void OffscreenPaint::KeepOpaque(QWidget &widget, const QEvent &event)
{
    if (event.type() == QEvent::Polish || event.type() == QEvent::StyleChange) {
        widget.setAttribute(Qt::WA_OpaquePaintEvent);
    }
}
