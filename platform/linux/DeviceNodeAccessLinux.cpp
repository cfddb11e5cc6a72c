#include "platform/DeviceNodeAccess.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace DeviceNodeAccess {

Result probe(const QString &node, QString *detail)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return Result::Opens;
    }
    const int error = errno;
    if (detail)
        *detail = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case EACCES:
    case EPERM:
        return Result::PermissionDenied;
    case EBUSY:
        return Result::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Result::Gone;
    default:
        return Result::Failed;
    }
}

} // namespace DeviceNodeAccess
