#pragma once
#include <QObject>

// Whether the desktop offers a tray for the program's icon now, and a signal when that may
// have changed. Panels often start after the programs of the session, or restart.
class TrayHost : public QObject
{
    Q_OBJECT
public:
    explicit TrayHost(QObject *parent = nullptr);

    bool isPresent() const;

signals:
    // A tray host came or went; isPresent() tells which.
    void changed();
};
