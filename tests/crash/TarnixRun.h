#pragma once
// Starts the real build/Tarnix for end-to-end tests and finds what it left behind.
#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace TarnixRun {

QString executable();

// Gives the test (and every copy it starts) its own temporary folder. Qt derives the
// single-instance segment's key from a file there, so these copies never meet a Tarnix
// that another test or the user runs. Also turns core dumps off for the crashes to come.
void isolate();

// Starts Tarnix with the arguments; standard output goes to a file (so a copy started by
// the crash handler, which inherits it, can still write there after its parent has gone).
void start(QProcess &process, const QStringList &arguments, const QString &outputFile);

// Waits until the file holds the text; false after the timeout.
bool waitForText(const QString &file, const QString &text, int timeoutMs);
QString readText(const QString &file);

// Tarnix processes whose parent is this process (copies adopted as a child subreaper).
QList<pid_t> adoptedCopies();
QByteArrayList arguments(pid_t pid);
// Whether the signal is blocked in the process's main thread.
bool isBlocked(pid_t pid, int signalNumber);

// Ends an adopted copy and reaps it.
void killAndReap(pid_t pid);

// A killed copy never removes its System V segment and semaphore; remove those of the
// isolated temporary folder so test runs leave nothing behind.
void removeLeftoverIpc();

} // namespace TarnixRun
