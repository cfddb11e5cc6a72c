#include "gui/RaisedPanelStyle.h"

#include <QStyleOption>

void RaisedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                     QPainter *painter, const QWidget *widget) const
{
    if (element == PE_Frame && (option->state & State_Raised))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
