#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

// The installed memory modules listed in a raw SMBIOS structure table
// (/sys/firmware/dmi/tables/DMI): its "Memory Device" structures (type 17).
namespace SmbiosMemory {

struct Module
{
    quint64 bytes = 0;
    QString manufacturer;
    unsigned speedMts = 0; // 0: unknown
};

// Empty slots and modules of unknown size are left out; a damaged table yields the
// modules before the damage.
QVector<Module> modules(const QByteArray &table);

} // namespace SmbiosMemory
