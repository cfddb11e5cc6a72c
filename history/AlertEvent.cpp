#include "history/AlertEvent.h"

#include "history/HistoryChannels.h"

#include <cmath>

namespace AlertTexts {

QString number(int channel, double value, bool celsius)
{
    const double shown = HistoryChannels::shown(channel, value, celsius);
    const double rounded = std::round(shown * 10.0) / 10.0;
    return QString::number(rounded, 'f', rounded == std::trunc(rounded) ? 0 : 1);
}

QString message(const AlertEvent &event, bool celsius)
{
    const QString unit = HistoryChannels::unitSign(event.channel, celsius);
    return QStringLiteral("%1 %2 %3 %4 %5 %3 for %6 s")
        .arg(HistoryChannels::caption(event.channel), number(event.channel, event.value, celsius),
             unit, event.below ? QStringLiteral("below") : QStringLiteral("above"),
             number(event.channel, event.threshold, celsius))
        .arg(event.holdSeconds);
}

QStringList programArguments(const AlertEvent &event, bool celsius)
{
    return {HistoryChannels::key(event.channel), number(event.channel, event.value, celsius),
            HistoryChannels::unitSign(event.channel, celsius)};
}

} // namespace AlertTexts
