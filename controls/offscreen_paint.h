#pragma once

#include "controls/bevel_frame.h"

#include <QBrush>
#include <QEvent>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <utility>

// Every face is composed whole in an off-screen image and then copied to
// the widget in one draw: opaque white, the background ramp over the whole
// area, the content, then (for controls) the bevel frame. Nothing is kept
// from one paint to the next.
class OffscreenPaint
{
public:
    enum class Frame { Bevel, None };

    // content(QPainter &, int w, int h) draws in logical pixels. An empty
    // size gives a null image and draws nothing.
    template<typename Content>
    static QImage Render(QSize size, qreal dpr, const QBrush &background, Frame frame, Content &&content)
    {
        QImage image = Begin(size, dpr);
        if (image.isNull()) {
            return image;
        }
        const int w = size.width();
        const int h = size.height();
        {
            QPainter painter(&image);
            FillRect(painter, background, 0, 0, w, h);
            std::forward<Content>(content)(painter, w, h);
            if (frame == Frame::Bevel) {
                BevelFrame::Draw(painter, w, h);
            }
        }
        return image;
    }

    // A solid pen 2 pixels wide, centred on the outline it draws.
    static QPen Pen(QRgb colour);
    // Bold "Times New Roman" with an em size in pixels.
    static QFont Font(int pixelSize);

    // Fills x..x+w-1, y..y+h-1; a width or height of 0 or less fills nothing.
    static void FillRect(QPainter &painter, const QBrush &brush, int x, int y, int w, int h);
    // Outlines the geometric rectangle x..x+w, y..y+h with the pen centred on it.
    static void Outline(QPainter &painter, const QPen &pen, int x, int y, int w, int h);
    // Black text whose layout box starts at origin (its top-left); neither
    // wrapped nor clipped except by the image.
    static void DrawText(QPainter &painter, const QFont &font, QPointF origin, const QString &text);

    // A button caption: the window text trimmed, placed by its length
    // (unitWidth px per UTF-16 unit left of the middle, not by measured
    // width) and 11 px above the middle, bold at fontSize px.
    static void DrawCaption(QPainter &painter, int w, int h, const QString &windowText, float unitWidth, int fontSize);

    // Push-button faces cover the whole button, but the style's polish turns
    // WA_OpaquePaintEvent off again; call after the base class's event().
    static void KeepOpaque(QWidget &widget, const QEvent &event);

    // Copies a rendered face onto its widget, replacing what was there (the
    // only drawing a paint event does); a null image draws nothing.
    static void Blit(QWidget &widget, const QImage &image);

private:
    static QImage Begin(QSize size, qreal dpr);
};
