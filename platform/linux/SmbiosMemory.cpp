#include "platform/linux/SmbiosMemory.h"

#include <QList>

namespace {
const int memoryDeviceType = 17;
const int endOfTableType = 127;

struct Structure
{
    int type = 0;
    QByteArray formatted; // the formatted area, header included
    QList<QByteArray> strings;
};

unsigned word(const QByteArray &area, int offset)
{
    return static_cast<unsigned char>(area[offset]) | static_cast<unsigned char>(area[offset + 1])
                                                          << 8;
}

quint32 dword(const QByteArray &area, int offset)
{
    return word(area, offset) | static_cast<quint32>(word(area, offset + 2)) << 16;
}

// Reads the structure at `at`; returns the offset of the next one, or -1 when the table is
// damaged there.
int readStructure(const QByteArray &table, int at, Structure &out)
{
    if (at + 4 > table.size())
        return -1;
    const int length = static_cast<unsigned char>(table[at + 1]);
    if (length < 4 || at + length > table.size())
        return -1;
    // The string set ends with two NULs (just two NULs when there are no strings).
    const int stringsAt = at + length;
    int end = stringsAt;
    while (end + 1 < table.size() && !(table[end] == 0 && table[end + 1] == 0))
        ++end;
    if (end + 1 >= table.size())
        return -1;
    out.type = static_cast<unsigned char>(table[at]);
    out.formatted = table.mid(at, length);
    out.strings = table.mid(stringsAt, end - stringsAt).split('\0');
    return end + 2;
}

QString stringAt(const Structure &s, int offset)
{
    if (offset >= s.formatted.size())
        return QString();
    const int index = static_cast<unsigned char>(s.formatted[offset]);
    if (index < 1 || index > s.strings.size())
        return QString();
    return QString::fromLatin1(s.strings[index - 1]).trimmed();
}

// Size in bytes, 0 for an empty slot or an unknown size.
quint64 moduleBytes(const QByteArray &area)
{
    if (area.size() < 0x0E)
        return 0;
    const unsigned size = word(area, 0x0C);
    if (size == 0 || size == 0xFFFF)
        return 0;
    const quint64 mib = 1024 * 1024;
    if (size == 0x7FFF) {
        if (area.size() < 0x20)
            return 0;
        return (dword(area, 0x1C) & 0x7FFFFFFF) * mib;
    }
    if (size & 0x8000)
        return quint64(size & 0x7FFF) * 1024;
    return size * mib;
}
} // namespace

namespace SmbiosMemory {

QVector<Module> modules(const QByteArray &table)
{
    QVector<Module> found;
    Structure s;
    for (int at = 0; at >= 0 && at < table.size();) {
        at = readStructure(table, at, s);
        if (at < 0 || s.type == endOfTableType)
            break;
        if (s.type != memoryDeviceType)
            continue;
        Module module;
        module.bytes = moduleBytes(s.formatted);
        if (module.bytes == 0)
            continue;
        if (s.formatted.size() >= 0x17)
            module.speedMts = word(s.formatted, 0x15);
        module.manufacturer = stringAt(s, 0x17);
        found << module;
    }
    return found;
}

} // namespace SmbiosMemory
