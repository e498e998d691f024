#include "app/tab_control.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

QRect TabControl::DisplayArea() const
{
    // Asked of the style, so it is right before the widget has been laid out.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
}
