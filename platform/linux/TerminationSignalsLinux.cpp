#include "platform/TerminationSignals.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler writes the signal's number into it, the event loop reads it. Set
// up once per process; later listeners share it.
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

bool installHandlers()
{
    if (pipeEnds[0] >= 0)
        return true;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : endingSignals)
        sigaddset(&action.sa_mask, number);
    // Interrupted system calls in the threads carry on as if nothing happened.
    action.sa_flags = SA_RESTART;
    for (const int number : endingSignals)
        sigaction(number, &action, nullptr);
    return true;
}

QSocketNotifier *notifier = nullptr;

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals()
{
    if (notifier && notifier->parent() == this)
        notifier = nullptr;
}

bool TerminationSignals::start()
{
    if (notifier)
        return notifier->parent() == this;
    if (!installHandlers())
        return false;
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
