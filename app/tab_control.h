#pragma once

#include <QTabWidget>

// The tab strip over the two lists. The lists are not pages of it: the main
// dialog lays them onto the display area itself, as a tab control would.
class TabControl : public QTabWidget
{
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;

    // The area below the tabs, in this widget's coordinates.
    QRect DisplayArea() const;
};
