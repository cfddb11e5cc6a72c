// Windows Qt build only: the drive list comes from Qt, the walk from the Qt-free layer.
#include "platform/windows/SystemFiguresWindows.h"

#include <QDir>

SystemFigures::Drive SystemFigures::systemDrive()
{
    std::vector<std::wstring> roots;
    for (const QFileInfo &drive : QDir::drives())
        roots.push_back(drive.absolutePath().toStdWString());
    return systemDriveAmong(roots);
}
