#pragma once
#include <QVector>

// The value axis of the history plot: a range with round tick steps around the values shown.
struct PlotScale
{
    double low = 0;
    double high = 1;
    double step = 1;

    // Ticks from low to high, inclusive.
    QVector<double> ticks() const;
    // Where a value sits between low (0) and high (1).
    double fraction(double value) const;
};

namespace PlotScales {

// A 1, 2 or 5 times a power of ten that splits the span into about `parts` steps.
double niceStep(double span, int parts);
// A scale that holds minimum..maximum with round ends; a flat series gets room around it,
// and percentages never leave 0..100.
PlotScale around(double minimum, double maximum, bool percent, int parts = 4);

} // namespace PlotScales
