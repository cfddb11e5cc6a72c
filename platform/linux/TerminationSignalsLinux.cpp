#include "platform/TerminationSignals.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler writes the signal's number into it, the event loop reads it.
// Opened once per process; a later listener reuses it.
int pipeEnds[2] = {-1, -1};

extern "C" void onEndingSignal(int signalNumber)
{
    // Only async-signal-safe calls here. A full pipe means a request is already waiting.
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

const char *signalName(int number)
{
    switch (number) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "an unknown signal";
    }
}

bool openPipe()
{
    if (pipeEnds[0] >= 0)
        return true;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0)
        return true;
    pipeEnds[0] = pipeEnds[1] = -1;
    return false;
}

void installHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : endingSignals)
        sigaddset(&action.sa_mask, number);
    // Interrupted system calls in the threads carry on as if nothing happened.
    action.sa_flags = SA_RESTART;
    for (const int number : endingSignals) {
        // A signal ignored by whoever started us stays ignored (nohup: SIGHUP).
        struct sigaction previous = {};
        if (sigaction(number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(number, &action, nullptr);
    }
}

// With nobody listening any more, the signals end the process as they did before.
void restoreDefaultActions()
{
    for (const int number : endingSignals) {
        struct sigaction current = {};
        if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == onEndingSignal)
            std::signal(number, SIG_DFL);
    }
}

QSocketNotifier *notifier = nullptr;

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals()
{
    if (notifier && notifier->parent() == this) {
        notifier = nullptr;
        restoreDefaultActions();
    }
}

bool TerminationSignals::start()
{
    if (notifier)
        return notifier->parent() == this;
    if (!openPipe())
        return false;
    installHandlers();
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        bool requested = false;
        // Several signals may have come at once: one request for all of them.
        while (::read(pipeEnds[0], &number, 1) == 1) {
            qDebug() << "Quit requested by" << signalName(number);
            requested = true;
        }
        if (requested)
            emit sigTerminationRequested();
    });
    return true;
}
