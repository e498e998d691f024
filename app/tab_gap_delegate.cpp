#include "app/tab_gap_delegate.h"

QString TabGapDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    QString text = QStyledItemDelegate::displayText(value, locale);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}
