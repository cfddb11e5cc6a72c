#pragma once
#include "wmic/InventoryQueries.h"

#include <QByteArray>

namespace InventorySource {
// Runs one inventory query and returns what it printed on standard output, undecoded
// (InventoryQueries::decode knows how each is read). Empty when the source is missing
// or fails. Never waits longer than 30 s.
QByteArray run(InventoryQuery query);
} // namespace InventorySource
