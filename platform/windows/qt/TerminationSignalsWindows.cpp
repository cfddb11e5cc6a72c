#include "platform/TerminationSignals.h"
#include "platform/windows/SessionEnd.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDebug>

#include <memory>

namespace {

// Sees the messages of every window of the application, hidden ones included.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(TerminationSignals *owner) : owner(owner) {}

    bool nativeEventFilter(const QByteArray &, void *message, long *result) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (!msg || !SessionEnd::endsSession(msg->message, msg->wParam))
            return false;
        qDebug() << "Quit requested by the session ending";
        // Windows ends the process once this message returns: the receiver shuts down now.
        emit owner->sigTerminationRequested();
        if (result)
            *result = 0;
        return true;
    }

private:
    TerminationSignals *owner;
};

std::unique_ptr<SessionEndFilter> filter;
TerminationSignals *listener = nullptr;

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals()
{
    if (listener != this)
        return;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(filter.get());
    filter.reset();
    listener = nullptr;
}

bool TerminationSignals::start()
{
    if (listener)
        return listener == this;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    filter = std::make_unique<SessionEndFilter>(this);
    app->installNativeEventFilter(filter.get());
    listener = this;
    return true;
}
