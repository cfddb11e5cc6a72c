#include "platform/InventorySource.h"

#include "platform/linux/LinuxInventory.h"

#include <QFile>

#include <cstdlib>

QByteArray InventorySource::run(InventoryQuery query)
{
    // Below $HWSENSORS_ROOT when set, like the memory and drive figures, so a fixture tree
    // can stand in for the whole machine.
    const char *root = std::getenv("HWSENSORS_ROOT");
    const QString from = root && *root ? QFile::decodeName(root) : QStringLiteral("/");
    return InventoryQueries::encode(query, LinuxInventory::tableText(query, from));
}
