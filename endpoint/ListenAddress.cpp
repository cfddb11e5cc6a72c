#include "endpoint/ListenAddress.h"

#include <QStringList>

namespace {

ListenAddress refused(const QString &text, const QString &why)
{
    ListenAddress address;
    address.error = QStringLiteral("'%1': %2").arg(text, why);
    return address;
}

bool isIpv4(const QString &host)
{
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok, 10);
        // toInt accepts a sign and spaces; an address has digits only.
        if (!ok || part.isEmpty() || part.size() > 3 || value > 255 || !part.at(0).isDigit() ||
            !part.back().isDigit())
            return false;
    }
    return true;
}

bool isIpv6(const QString &host)
{
    if (host.count(QLatin1Char(':')) < 2)
        return false;
    for (const QChar c : host) {
        const bool hex =
            c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
        if (!hex && c != QLatin1Char(':') && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

// The port after the last ':', 1..65535 in decimal digits only.
bool readPort(const QString &text, quint16 *port)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    const int value = text.toInt();
    if (value < 1 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

} // namespace

bool ListenAddress::isLoopback() const
{
    return host.startsWith(QLatin1String("127.")) || host == QLatin1String("::1");
}

QString ListenAddress::text() const
{
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shownHost + QLatin1Char(':') + QString::number(port);
}

namespace Endpoint {

ListenAddress parseListen(const QString &given)
{
    const QString text = given.trimmed();
    if (text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        ListenAddress off;
        off.valid = true;
        return off;
    }
    if (text.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0)
        return parseListen(QLatin1String(kDefaultListen));

    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return refused(text, QStringLiteral("expected off, on or ADDRESS:PORT"));
    ListenAddress address;
    if (!readPort(text.mid(colon + 1), &address.port))
        return refused(text, QStringLiteral("the port must be a number from 1 to 65535"));
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
        if (!isIpv6(host))
            return refused(text, QStringLiteral("not an IPv6 address in brackets"));
    } else if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        host = QStringLiteral("127.0.0.1");
    } else if (!isIpv4(host)) {
        return refused(text, QStringLiteral("the address must be numeric (IPv4, or IPv6 in "
                                            "brackets) or localhost"));
    }
    address.host = host.toLower();
    address.valid = true;
    address.enabled = true;
    return address;
}

} // namespace Endpoint
