#pragma once
#include "platform/DeviceNodeAccess.h"

#include <QList>
#include <QString>

// What stands between the program and the display: every matching device hidapi lists, and
// whether each opens, in words a user can act on.
namespace DisplayAccess {

struct Node
{
    QString path;
    DeviceNodeAccess::Result result = DeviceNodeAccess::Result::Failed;
    QString detail; // the system's message for a failure
};

/// Every listed display, each opened once and closed again.
QList<Node> probe();
/// Why an open of \a node failed, asked of the node itself.
Node diagnose(const QString &node);
/// The log line that follows "Unable to open device": the node, the reason and, for a missing
/// permission, the mend.
QString openFailureLine(const Node &node);
/// How to grant the permission: the package's udev rule, or the one a build installs.
QString permissionMend();

} // namespace DisplayAccess
