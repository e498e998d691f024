#pragma once

#include <QStyledItemDelegate>

// Draws each tab of a row as one blank. The row's text keeps its tabs (a
// copy or a screen reader gets it unchanged); only the drawing differs, as
// a tab drawn to the next tab stop would push the row's end out of view.
class TabGapDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
};
