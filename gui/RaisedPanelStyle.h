#pragma once
#include <QProxyStyle>

// The form's raised styled panels are layout boxes only. The Windows styles draw nothing for
// them; other styles (Fusion) outline every one, so this style leaves them out there too.
class RaisedPanelStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
