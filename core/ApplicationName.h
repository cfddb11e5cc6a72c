#pragma once
// The name Qt gives the program (log folder, autostart entry), taken from the executable file
// itself rather than from the command it was started by: bin/tarnix is a symlink to
// lib/tarnix/Tarnix, and both must give "Tarnix".
#include <QString>

namespace ApplicationName {

// The file name of executablePath, without a trailing ".exe" (any case).
QString fromExecutable(const QString &executablePath);

} // namespace ApplicationName
