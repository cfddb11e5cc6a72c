#include "platform/InventorySource.h"

#include "platform/linux/LinuxInventory.h"

QByteArray InventorySource::run(InventoryQuery query)
{
    return InventoryQueries::encode(query, LinuxInventory::tableText(query, QStringLiteral("/")));
}
