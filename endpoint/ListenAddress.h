#pragma once
#include <QString>
#include <QtGlobal>

// Where the HTTP endpoint listens: "off", "on" (the default address) or "ADDRESS:PORT" with
// an IPv4 address, "[IPv6]" or "localhost". Host names other than localhost are refused, so
// that what is bound never depends on a name lookup.
struct ListenAddress
{
    bool valid = false;   // false: the text was not understood; error says why
    bool enabled = false; // false for "off"
    QString host;         // numeric: "127.0.0.1", "::1", "0.0.0.0"
    quint16 port = 0;
    QString error;

    bool isLoopback() const;
    /// "127.0.0.1:10791", "[::1]:10791".
    QString text() const;
};

namespace Endpoint {

/// Our port: the exporters' range 9100..9999 is fully allocated, newer ones lie above 10000.
constexpr quint16 kDefaultPort = 10791;
constexpr char kDefaultListen[] = "127.0.0.1:10791";

/// Reads "off", "on", "ADDRESS:PORT", "[IPv6]:PORT"; surrounding spaces are ignored.
ListenAddress parseListen(const QString &text);

} // namespace Endpoint
