#pragma once
// Log messages of a test program, kept for its checks. The sensor, start-up and inventory
// threads log too, so every access takes the lock.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

namespace CapturedMessages {

inline std::mutex &lock()
{
    static std::mutex mutex;
    return mutex;
}

inline QStringList &messages()
{
    static QStringList list;
    return list;
}

inline void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> guard(lock());
    messages() << message;
}

/// Keeps every message from now on, instead of printing it.
inline void install()
{
    qInstallMessageHandler(capture);
}

inline int count(const QString &message)
{
    std::lock_guard<std::mutex> guard(lock());
    return messages().count(message);
}

inline void clear()
{
    std::lock_guard<std::mutex> guard(lock());
    messages().clear();
}

} // namespace CapturedMessages
