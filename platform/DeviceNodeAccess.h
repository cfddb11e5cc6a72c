#pragma once
#include <QString>

// Why a device node cannot be opened, found by opening it the way hidapi does.
namespace DeviceNodeAccess {

enum class Result
{
    Opens,
    PermissionDenied,
    Busy,
    Gone,
    Failed
};

/// Opens the node read-write and closes it again. \a detail, when given, receives the
/// system's own message for a failure.
Result probe(const QString &node, QString *detail = nullptr);
/// The result in words for the log and for --check: "opens", "permission denied", "busy",
/// "gone", or the system's message.
inline QString describe(Result result, const QString &detail = QString())
{
    switch (result) {
    case Result::Opens:
        return QStringLiteral("opens");
    case Result::PermissionDenied:
        return QStringLiteral("permission denied");
    case Result::Busy:
        return QStringLiteral("busy");
    case Result::Gone:
        return QStringLiteral("gone");
    case Result::Failed:
        break;
    }
    return detail.isEmpty() ? QStringLiteral("cannot be opened") : detail;
}

} // namespace DeviceNodeAccess
