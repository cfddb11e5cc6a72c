#include "wmic/InventoryQueries.h"

namespace {
struct QueryInfo
{
    const char *commandLine;
    const char *debugTitle;
    const char *replayFile;
    bool local8Bit;
};

// Indexed by InventoryQuery.
const QueryInfo queryTable[inventoryQueryCount] = {
    {"wmic cpu get Name", "Windows HardwareInfo 01 CPU:", "cpu.txt", true},
    {"wmic baseboard get product,Manufacturer",
     "Windows HardwareInfo 02 Motherboard:", "baseboard.txt", false},
    {"wmic memorychip get capacity, speed, manufacturer",
     "Windows HardwareInfo 03 Memorychip:", "memorychip.txt", false},
    {"wmic diskdrive get model,size", "Windows HardwareInfo 04 Diskdrive:", "diskdrive.txt", false},
    {"wmic path win32_VideoController get AdapterRAM,Name",
     "Windows HardwareInfo 05 GPU:", "videocontroller.txt", false},
    {"wmic path Win32_SoundDevice get Name", "Windows HardwareInfo 06 Audio:", "sounddevice.txt",
     true},
    {"wmic nic where \"NetEnabled=true\" get Name", "Windows HardwareInfo 07 Network:", "nic.txt",
     true},
    {"wmic os get Caption", "Windows HardwareInfo 08 SystemVersion:", "os.txt", true},
};

const QueryInfo &info(InventoryQuery query)
{
    return queryTable[static_cast<int>(query)];
}
} // namespace

namespace InventoryQueries {

std::array<InventoryQuery, inventoryQueryCount> all()
{
    return {InventoryQuery::Cpu,
            InventoryQuery::Baseboard,
            InventoryQuery::MemoryChip,
            InventoryQuery::DiskDrive,
            InventoryQuery::VideoController,
            InventoryQuery::SoundDevice,
            InventoryQuery::Nic,
            InventoryQuery::Os};
}

QString commandLine(InventoryQuery query)
{
    return QString::fromLatin1(info(query).commandLine);
}

const char *debugTitle(InventoryQuery query)
{
    return info(query).debugTitle;
}

QString replayFileName(InventoryQuery query)
{
    return QString::fromLatin1(info(query).replayFile);
}

QString decode(InventoryQuery query, const QByteArray &output)
{
    return info(query).local8Bit ? QString::fromLocal8Bit(output) : QString::fromUtf8(output);
}

QByteArray encode(InventoryQuery query, const QString &text)
{
    return info(query).local8Bit ? text.toLocal8Bit() : text.toUtf8();
}

std::optional<InventoryQuery> fromCommandLine(const QString &commandLine)
{
    for (const InventoryQuery query : all()) {
        if (InventoryQueries::commandLine(query) == commandLine)
            return query;
    }
    return std::nullopt;
}

} // namespace InventoryQueries
