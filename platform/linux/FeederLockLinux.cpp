#include "platform/FeederLock.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString lockFolder()
{
    const QByteArray chosen = qgetenv("TARNIX_LOCK_DIR");
    if (!chosen.isEmpty())
        return QString::fromLocal8Bit(chosen);
    // /run/lock is shared by every user and by a service with a private /tmp.
    return QFileInfo(QStringLiteral("/run/lock")).isDir() ? QStringLiteral("/run/lock")
                                                          : QStringLiteral("/tmp");
}

// Never follows a link a stranger may have planted in the shared folder. An existing file is
// opened without O_CREAT: in a sticky folder the kernel may refuse O_CREAT on another user's
// file (protected_regular) even when it would open.
int openLockFile(const QByteArray &path)
{
    const int flags = O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(path.constData(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.constData(), O_RDONLY | flags);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | flags, 0666);
    if (fd >= 0) {
        // The umask took bits away; every user must be able to open it.
        [[maybe_unused]] const int changed = ::fchmod(fd, 0666);
        return fd;
    }
    // Another process made it in between.
    return errno == EEXIST ? ::open(path.constData(), O_RDONLY | flags) : -1;
}

void writePid(int fd)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(fd, 0) == 0) [[maybe_unused]]
        const ssize_t written = ::pwrite(fd, text, size_t(length), 0);
}

} // namespace

FeederLock::FeederLock(const QString &name)
    : m_location(lockFolder() + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
}

FeederLock::~FeederLock()
{
    release();
}

bool FeederLock::tryAcquire()
{
    if (m_held)
        return true;
    if (m_handle < 0)
        m_handle = openLockFile(QFile::encodeName(m_location));
    if (m_handle < 0)
        return false;
    const int fd = int(m_handle);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    m_held = true;
    writePid(fd);
    return true;
}

void FeederLock::release()
{
    if (m_handle >= 0)
        ::close(int(m_handle)); // drops the lock with the last descriptor
    m_handle = -1;
    m_held = false;
}

qint64 FeederLock::holderPid() const
{
    const int fd =
        ::open(QFile::encodeName(m_location).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    ::close(fd);
    return got > 0 ? std::strtoll(text, nullptr, 10) : 0;
}
