#pragma once
#include "wmic/InventoryQueries.h"

#include <QString>
#include <QStringList>

#include <array>

// The PC's static description, as the hardware page shows it.
struct HardwareInventory
{
    QString cpuName;
    QString boardInfo;
    QStringList memoryList;
    QStringList diskList;
    QStringList gpuList;
    QStringList audioList;
    QStringList networkList;
    QString osCaption;
};

// Decoded output of every query, indexed by InventoryQuery.
using InventoryOutputs = std::array<QString, inventoryQueryCount>;

inline QString &outputOf(InventoryOutputs &outputs, InventoryQuery query)
{
    return outputs[static_cast<int>(query)];
}
inline const QString &outputOf(const InventoryOutputs &outputs, InventoryQuery query)
{
    return outputs[static_cast<int>(query)];
}

// Parses all eight outputs; an empty output is a query that printed nothing.
HardwareInventory parseInventory(const InventoryOutputs &outputs);
