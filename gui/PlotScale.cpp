#include "gui/PlotScale.h"

#include <algorithm>
#include <cmath>

QVector<double> PlotScale::ticks() const
{
    QVector<double> values;
    for (double v = low; v <= high + step * 1e-6 && values.size() < 50; v += step)
        values << (std::abs(v) < step * 1e-9 ? 0.0 : v);
    return values;
}

double PlotScale::fraction(double value) const
{
    return high > low ? (value - low) / (high - low) : 0.5;
}

namespace PlotScales {

double niceStep(double span, int parts)
{
    if (!(span > 0) || parts < 1)
        return 1;
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power * (1 + 1e-9))
            return factor * power;
    return 10 * power;
}

PlotScale around(double minimum, double maximum, bool percent, int parts)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (maximum - minimum < 1e-9) {
        // A flat line sits in the middle of a small range.
        const double pad = std::max(1.0, std::abs(maximum) * 0.05);
        minimum -= pad;
        maximum += pad;
    }
    if (percent) {
        minimum = std::max(0.0, minimum);
        maximum = std::min(100.0, std::max(maximum, minimum + 1));
    }
    PlotScale scale;
    scale.step = niceStep(maximum - minimum, parts);
    scale.low = std::floor(minimum / scale.step) * scale.step;
    scale.high = std::ceil(maximum / scale.step) * scale.step;
    if (scale.high <= scale.low)
        scale.high = scale.low + scale.step;
    return scale;
}

} // namespace PlotScales
