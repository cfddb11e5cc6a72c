// The Windows system figures against the wine prefix's own drives and memory.
#include "platform/windows/SystemFiguresWindows.h"
#include "winTestMain.h"

using namespace SystemFigures;

static void memoryFigures()
{
    const Memory m = memory();
    WCHECK(m.valid);
    WCHECK(m.totalBytes > 0);
    WCHECK(m.availableBytes <= m.totalBytes);
    WCHECK(m.loadPercent <= 100);
}

static void systemDrivePaths()
{
    WCHECK(isSystemDrivePath(L"C:/"));
    WCHECK(isSystemDrivePath(L"c:\\"));
    WCHECK(!isSystemDrivePath(L"D:/"));
    WCHECK(!isSystemDrivePath(L""));
}

static void driveWalk()
{
    const Drive c = systemDriveAmong({L"C:\\"});
    WCHECK(c.found);
    WCHECK(c.totalBytes > 0);
    WCHECK(c.freeBytes <= c.totalBytes);

    // QDir::drives() writes forward slashes.
    WCHECK(systemDriveAmong({L"c:/"}).found);

    // Z: answers under wine but is not the system drive; A: and D: do not exist.
    WCHECK(!systemDriveAmong({L"A:\\", L"D:\\"}).found);
    WCHECK(!systemDriveAmong({L"A:\\", L"D:\\", L"Z:\\"}).found);
    WCHECK(!systemDriveAmong({}).found);

    // A drive that fails is skipped, the walk goes on to C:.
    const Drive later = systemDriveAmong({L"A:\\", L"Z:\\", L"C:\\"});
    WCHECK(later.found);
    WCHECK(later.totalBytes == c.totalBytes);

    // A path that contains "C" but does not answer is not taken.
    WCHECK(!systemDriveAmong({L"C:\\no\\such\\folder\\"}).found);
}

int main()
{
    memoryFigures();
    systemDrivePaths();
    driveWalk();
    return wintestSummary("tst_systemFigures");
}
