#pragma once
#include <QByteArray>
#include <QString>

namespace PciIds {
// The name of a PCI device looked up in the text of a pci.ids database: "Vendor Device",
// or "Vendor Device 1f2e" when only the vendor is listed; empty when the vendor is not.
QString deviceName(const QByteArray &database, unsigned vendor, unsigned device);
} // namespace PciIds
