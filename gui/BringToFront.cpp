#include "gui/BringToFront.h"

#include <QWidget>

void bringToFront(QWidget &window)
{
    window.showNormal();
    window.raise();
    window.activateWindow();
}
