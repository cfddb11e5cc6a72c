#include "device/DisplayAccess.h"

#include "device/DisplayIds.h"

#include <hidapi.h>

namespace DisplayAccess {

Node diagnose(const QString &node)
{
    Node found;
    found.path = node;
    found.result = DeviceNodeAccess::probe(node, &found.detail);
    return found;
}

QList<Node> probe()
{
    QList<Node> nodes;
    hid_device_info *devices = hid_enumerate(DisplayIds::kVendorId, DisplayIds::kProductId);
    for (const hid_device_info *d = devices; d; d = d->next) {
        if (d->vendor_id != DisplayIds::kVendorId || d->product_id != DisplayIds::kProductId)
            continue;
        Node node;
        node.path = QString::fromLatin1(d->path);
        if (hid_device *handle = hid_open_path(d->path)) {
            hid_close(handle);
            node.result = DeviceNodeAccess::Result::Opens;
        } else {
            node = diagnose(node.path);
            // hidapi refused a node the system would open: say so rather than "opens".
            if (node.result == DeviceNodeAccess::Result::Opens)
                node.result = DeviceNodeAccess::Result::Failed;
        }
        nodes.append(node);
    }
    hid_free_enumeration(devices);
    return nodes;
}

QString openFailureLine(const Node &node)
{
    QString line = QStringLiteral("Display node %1 not opened: %2")
                       .arg(node.path, DeviceNodeAccess::describe(node.result, node.detail));
    if (node.result == DeviceNodeAccess::Result::PermissionDenied)
        line += QStringLiteral(". ") + permissionMend();
    return line;
}

QString permissionMend()
{
    return QStringLiteral(
        "Grant access with the udev rule 60-tarnix.rules: install the tarnix package, or from "
        "a build run `sudo cmake --install build --component udev`, then unplug and plug in "
        "the display");
}

} // namespace DisplayAccess
