#include "gui/TrayIconKeeper.h"

#include "platformgui/TrayHost.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TrayIconKeeper::TrayIconKeeper(const QString &iconFile, const QString &toolTip, QMenu *menu,
                               QWidget *owner)
    : QObject(owner), pictureFile(iconFile), tip(toolTip), menu(menu), owner(owner)
{
}

void TrayIconKeeper::start()
{
    host = new TrayHost(this);
    connect(host, &TrayHost::changed, this, &TrayIconKeeper::createIfPresent);
    createIfPresent();
}

bool TrayIconKeeper::trayPresent() const
{
    return host && host->isPresent();
}

void TrayIconKeeper::createIfPresent()
{
    // Once made, Qt itself follows the tray going and coming back.
    if (icon || !host->isPresent())
        return;
    icon = new QSystemTrayIcon(owner);
    icon->setIcon(QIcon(pictureFile));
    icon->setToolTip(tip);
    icon->setContextMenu(menu);
    icon->show();
    emit iconCreated(icon);
}
