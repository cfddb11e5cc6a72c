#pragma once
#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The eight inventory queries, in the order the inventory runs them.
enum class InventoryQuery
{
    Cpu,
    Baseboard,
    MemoryChip,
    DiskDrive,
    VideoController,
    SoundDevice,
    Nic,
    Os,
};

constexpr int inventoryQueryCount = 8;

namespace InventoryQueries {
// Every query, in running order.
std::array<InventoryQuery, inventoryQueryCount> all();

// The wmic command line of the query (also the key the processor's header word comes from).
QString commandLine(InventoryQuery query);
// The title its output is dumped under in the debug log.
const char *debugTitle(InventoryQuery query);
// File name of the query's recorded output in a replay folder ("cpu.txt", ...).
QString replayFileName(InventoryQuery query);

// Decodes the query's raw output: some queries are read as UTF-8, the others in the
// console's 8-bit code page.
QString decode(InventoryQuery query, const QByteArray &output);
// The inverse, for sources that write the text themselves.
QByteArray encode(InventoryQuery query, const QString &text);

// The query whose command line this is, if any.
std::optional<InventoryQuery> fromCommandLine(const QString &commandLine);
} // namespace InventoryQueries
