#include "widgets/RoundGaugeMath.h"

#include <algorithm>

double RoundGaugeMath::sweepAngle(double minValue, double maxValue, double value, bool clockWise)
{
    const double width = maxValue - minValue;
    if (width == 0.0)
        return 0.0;
    const double sweep = 360.0 / width * value;
    return clockWise ? sweep : -sweep;
}

int RoundGaugeMath::shownNumber(int displayValue, int valueType)
{
    if (valueType == 2)
        return static_cast<int>(displayValue * 1.8 + 32);
    return displayValue;
}

int RoundGaugeMath::textPixelSize(double innerSize, int precision, double baseFactor)
{
    const double factor = std::max(0.05, baseFactor - precision * 0.08);
    // QFont refuses a pixel size below 1; a gauge that small shows nothing readable anyway.
    return std::max(1, static_cast<int>(innerSize * factor));
}

int RoundGaugeMath::numberLeftOffset(int shown)
{
    if (shown > 99)
        return -36;
    if (shown < 10)
        return -25;
    return -32;
}

int RoundGaugeMath::unitLeftOffset(int shown)
{
    if (shown > 99)
        return 71;
    if (shown < 10)
        return 30;
    return 48;
}
