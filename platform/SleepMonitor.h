#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

// Tells when the machine has woken from sleep: logind's PrepareForSleep(false) on the system
// bus on Linux, WM_POWERBROADCAST with PBT_APMRESUMEAUTOMATIC to the window on Windows.
class SleepMonitor : public QObject
{
    Q_OBJECT
public:
    explicit SleepMonitor(QObject *parent = nullptr);
    ~SleepMonitor() override;

    // Starts listening; false when there is nothing to listen to (no system bus). The program
    // runs on without it. Calling it again once started does nothing and answers true.
    bool start();

    // Windows delivers the broadcasts as native window messages; elsewhere this does nothing.
    void handleNativeEvent(const QByteArray &eventType, void *message);

signals:
    void resumed();

private slots:
    // logind's announcement: true before the machine sleeps, false once it woke.
    void onPrepareForSleep(bool sleeping);

private:
    QString m_connectionName;
    bool m_started = false;
};
