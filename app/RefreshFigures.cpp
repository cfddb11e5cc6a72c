#include "app/RefreshFigures.h"

#include "device/DeviceFrame.h"
#include "model/Units.h"

#include <limits>

namespace RefreshFigures {

namespace {

QString gibText(double gib)
{
    return QString::number(gib, 'f', 0) + QLatin1Char('G');
}

} // namespace

QString memoryText(const SystemFigures::Memory &memory)
{
    const float total = memory.totalBytes / float(kBytesPerGiB);
    const float available = memory.availableBytes / float(kBytesPerGiB);
    const float used = total - available;
    return QString::asprintf("%.1fG/%.1fG", used, total);
}

int truncatedReading(float value)
{
    // Out-of-range floats have no int value; a reading that large is shown as the nearest one.
    if (!(value > float(std::numeric_limits<int>::min())))
        return value != value ? 0 : std::numeric_limits<int>::min();
    if (!(value < float(std::numeric_limits<int>::max())))
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

DriveFigures driveFigures(const SystemFigures::Drive &drive)
{
    const uint64_t used =
        drive.freeBytes < drive.totalBytes ? drive.totalBytes - drive.freeBytes : 0;
    DriveFigures figures;
    figures.usagePercent = ::driveUsagePercent(drive.totalBytes, drive.freeBytes);
    figures.text = gibText(double(used) / kBytesPerGiB) + QLatin1Char('/') +
                   gibText(double(drive.totalBytes) / kBytesPerGiB);
    return figures;
}

int autoRangeMaximum(int maximum, int value)
{
    if (maximum <= 0)
        maximum = 1;
    if (maximum < value)
        maximum = value < std::numeric_limits<int>::max() ? value + 1 : value;
    return maximum;
}

} // namespace RefreshFigures
