#include "core/ColorText.h"

QString ColorText::normalize(const QString &fileValue)
{
    QString text = fileValue;
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    if (text.count(QLatin1Char(',')) == 3)
        return text.left(text.lastIndexOf(QLatin1Char(',')));
    return text;
}

int ColorText::component(const QString &colorText, int index)
{
    return colorText.section(QLatin1Char(','), index, index).toInt(nullptr, 10);
}
