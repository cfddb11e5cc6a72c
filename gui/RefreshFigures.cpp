#include "gui/RefreshFigures.h"

#include <limits>

namespace RefreshFigures {

namespace {

constexpr uint64_t kBytesPerGiB = 1073741824;

QString gibText(double gib)
{
    return QString::number(gib, 'f', 0) + QLatin1Char('G');
}

} // namespace

QString memoryText(const SystemFigures::Memory &memory)
{
    const float total = memory.totalBytes / 1073741824.0f;
    const float available = memory.availableBytes / 1073741824.0f;
    const float used = total - available;
    return QString::asprintf("%.1fG/%.1fG", used, total);
}

int driveUsagePercent(uint64_t totalBytes, uint64_t freeBytes)
{
    if (totalBytes == 0)
        return 0;
    const uint64_t used = freeBytes < totalBytes ? totalBytes - freeBytes : 0;
    // Exact integer arithmetic where it fits: in double, 55 % free comes out as 44.999...
    // and would truncate to 44. Beyond about 184 PB the double form is close enough.
    if (totalBytes <= std::numeric_limits<uint64_t>::max() / 100)
        return static_cast<int>(used * 100 / totalBytes);
    return static_cast<int>(100.0 - double(freeBytes) / double(totalBytes) * 100.0);
}

DriveFigures driveFigures(const SystemFigures::Drive &drive)
{
    const uint64_t used =
        drive.freeBytes < drive.totalBytes ? drive.totalBytes - drive.freeBytes : 0;
    DriveFigures figures;
    figures.usagePercent = driveUsagePercent(drive.totalBytes, drive.freeBytes);
    figures.totalGiB = static_cast<int>(drive.totalBytes / kBytesPerGiB);
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
