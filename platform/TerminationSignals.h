#pragma once
#include <QObject>

// Tells when the system or a user asks the program to end: SIGTERM, SIGINT or SIGHUP on Linux
// (a session ending, `kill`, Ctrl+C), the session ending on Windows. The request is delivered
// through the event loop, so the receiver can shut down as the tray's exit entry does: stop
// polling, close the sensor library and the display, write the last log line.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Starts listening; false when that was not possible (the program runs on without it, and
    // the signals keep their default action). A request that comes before the event loop runs
    // waits for it.
    bool start();

signals:
    void sigTerminationRequested();
};
