#pragma once
#include <QMetaType>
#include <QString>
#include <QStringList>

// One alert that fired: which value, what it read and the rule's threshold, in °C for
// temperatures.
struct AlertEvent
{
    int channel = 0;
    double value = 0;
    double threshold = 0;
    bool below = false;
    int holdSeconds = 0;
};
Q_DECLARE_METATYPE(AlertEvent)

namespace AlertTexts {

// "92" or "1.5": the value in the chosen unit, at most one decimal.
QString number(int channel, double value, bool celsius);
// "CPU Temperature 92 ℃ above 85 ℃ for 10 s"
QString message(const AlertEvent &event, bool celsius);
// The arguments the user's program gets: the value's name, its value and its unit.
QStringList programArguments(const AlertEvent &event, bool celsius);

} // namespace AlertTexts
