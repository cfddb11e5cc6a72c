#include "platform/linux/PciIds.h"

namespace {
QByteArray hexId(unsigned id)
{
    return QByteArray::number(id & 0xffff, 16).rightJustified(4, '0');
}

// Start of the line "<id>  <name>" at column 0, or -1.
int vendorLine(const QByteArray &db, const QByteArray &id)
{
    const QByteArray key = id + "  ";
    if (db.startsWith(key))
        return 0;
    const int at = db.indexOf('\n' + key);
    return at < 0 ? -1 : at + 1;
}

int lineEnd(const QByteArray &db, int from)
{
    const int end = db.indexOf('\n', from);
    return end < 0 ? db.size() : end;
}

QString text(const QByteArray &db, int from, int to)
{
    return QString::fromUtf8(db.constData() + from, to - from).trimmed();
}
} // namespace

namespace PciIds {

QString deviceName(const QByteArray &database, unsigned vendor, unsigned device)
{
    const QByteArray vendorId = hexId(vendor);
    const int vendorAt = vendorLine(database, vendorId);
    if (vendorAt < 0)
        return QString();
    int end = lineEnd(database, vendorAt);
    const QString vendorName = text(database, vendorAt + 6, end);

    // The vendor's devices follow, one tab deep; subsystems are two tabs deep.
    const QByteArray deviceKey = '\t' + hexId(device) + "  ";
    for (int at = end + 1; at < database.size(); at = end + 1) {
        end = lineEnd(database, at);
        const char first = database.at(at);
        if (first == '\t') {
            if (end - at > deviceKey.size() &&
                qstrncmp(database.constData() + at, deviceKey.constData(), deviceKey.size()) == 0)
                return vendorName + QLatin1Char(' ') + text(database, at + deviceKey.size(), end);
            continue;
        }
        if (first != '#' && first != '\n' && first != '\r')
            break;
    }
    return vendorName + QStringLiteral(" Device ") + QString::fromLatin1(hexId(device));
}

} // namespace PciIds
