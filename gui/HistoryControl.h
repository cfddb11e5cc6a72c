#pragma once
#include "history/AlertEvent.h"

#include <QObject>
#include <QPointer>

class AlertsDialog;
class HistoryFeed;
class HistoryView;
class Monitor;
class QSystemTrayIcon;
class QWidget;

// The window's side of the history: feeds every pass of the monitor into the history (on the
// sensor thread), opens the History panel and the Alerts dialog on demand, stores their
// settings, and shows a fired alert as a desktop notification, or as the tray's message where
// the desktop has no notification service.
class HistoryControl : public QObject
{
    Q_OBJECT
public:
    HistoryControl(Monitor *monitor, QWidget *window);

    HistoryFeed *feed() const { return m_feed; }
    void setCelsius(bool celsius);
    void setTrayIcon(QSystemTrayIcon *icon) { m_tray = icon; }
    void showHistory();
    void showAlerts();
    // Writes what the record holds in memory (before an exit).
    void flush();

private:
    void notify(const AlertEvent &event);

    QWidget *m_window;
    HistoryFeed *m_feed;
    HistoryView *m_view = nullptr;    // child of the window, built on first use
    AlertsDialog *m_dialog = nullptr; // likewise
    QPointer<QSystemTrayIcon> m_tray;
};
