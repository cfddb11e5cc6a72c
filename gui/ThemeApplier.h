#pragma once
#include "core/AppConfig.h"

#include <QGradientStops>
#include <QString>

class QFont;
class QWidget;

namespace Ui {
class DMainWidget;
}

// Applies the configuration's look to a freshly built form.
void applyTheme(Ui::DMainWidget *ui, QWidget *window, const AppConfig &config,
                const QFont &mediumFont, const QFont &boldFont);

namespace Theme {

// The one AppID with its own page buttons and dashboard ring; compared case-sensitively.
bool isVariant(const QString &appId);

// Colour stops of the dashboards' ring for the given AppID.
QGradientStops dashboardGradient(const QString &appId);

} // namespace Theme
