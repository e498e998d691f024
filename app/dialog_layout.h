#pragma once

#include "res/dialog_templates.h"

#include <QFont>
#include <QRect>
#include <QSize>

// Maps a dialog template's dialog units to pixels: each edge separately,
// x * baseX / 4 and y * baseY / 8, rounded to nearest, so that neighbouring
// controls share their edges exactly.
class DialogLayout
{
public:
    explicit DialogLayout(const dialogs::Template &dialog) : dialog_(dialog) { }

    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QRect ToPixels(int x, int y, int w, int h) const;
    QRect ToPixels(const dialogs::Control &control) const;
    QSize ClientSize() const;
    // The template's font, or the application's default dialog font when it names none.
    QFont Font() const;

private:
    const dialogs::Template &dialog_;
};
