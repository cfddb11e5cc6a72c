#pragma once
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;
class TrayHost;

// Puts the program's icon in the tray as soon as the desktop has one, at start or later.
// Qt 5 settles once per process, at the first tray icon object, whether icons go to a
// StatusNotifierItem host over D-Bus or to an XEmbed tray, so the icon object is made only
// once a host is there: made too early, it would never reach a host that comes later.
class TrayIconKeeper : public QObject
{
    Q_OBJECT
public:
    // The icon becomes a child of owner; the menu stays the caller's. The image file is read
    // only when the icon is made (reading it loads every image format plugin).
    TrayIconKeeper(const QString &iconFile, const QString &toolTip, QMenu *menu, QWidget *owner);

    // Makes the icon now if a host is present, else when one comes.
    void start();

    QSystemTrayIcon *trayIcon() const { return icon; }
    // False while nothing could show the icon: a hidden window could then not be found again.
    bool trayPresent() const;

signals:
    void iconCreated(QSystemTrayIcon *icon);

private slots:
    void createIfPresent();

private:
    TrayHost *host = nullptr;
    QString pictureFile;
    QString tip;
    QMenu *menu = nullptr;
    QWidget *owner = nullptr;
    QSystemTrayIcon *icon = nullptr;
};
