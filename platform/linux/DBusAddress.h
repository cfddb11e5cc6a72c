#pragma once
#include <QString>

namespace DBusAddress {

/// True when \a address names a socket path that does not exist: such a bus cannot answer,
/// and asking it would still start Qt's D-Bus thread for the rest of the run. An empty or
/// other kind of address (abstract socket, autolaunch) is left for libdbus to try.
bool socketMissing(const QString &address);

} // namespace DBusAddress
