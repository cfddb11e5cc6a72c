#pragma once
#include "wmic/InventoryQueries.h"

#include <QString>

// Stands in for wmic on Linux: the column text wmic would print for each inventory query,
// gathered from /proc, /sys, /etc/os-release and the PCI ID database.
namespace LinuxInventory {

// Reads the system below `root` ("/" for the running system; tests use a fixture tree).
QString tableText(InventoryQuery query, const QString &root);

} // namespace LinuxInventory
