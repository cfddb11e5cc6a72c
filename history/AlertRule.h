#pragma once
#include <QString>

#include <cmath>

// A rule on one value: beyond a threshold (above it, or below it for fans) for at least
// holdSeconds consecutive passes fires once; the rule re-arms only after the value has come
// back past the threshold by the margin. Temperatures are kept in °C.
struct AlertRule
{
    int channel = 0; // HistoryChannels::Channel
    bool enabled = true;
    double threshold = 0;
    int holdSeconds = 5;
    double margin = 3;
    bool below = false; // true: fires when the value falls under the threshold
};

// Where one rule stands between passes.
struct AlertState
{
    bool armed = true;
    int heldFor = 0; // consecutive passes beyond the threshold while armed
};

namespace AlertRules {

// True when the value is beyond the threshold in the rule's direction.
bool beyond(const AlertRule &rule, double value);
// True when the value is back past the threshold by the margin (re-arms the rule).
bool backWithin(const AlertRule &rule, double value);

// One pass's value through a rule; answers true on the one pass that fires. A missing value
// (NaN) neither counts towards the hold nor re-arms: the rule's state stays as it was.
bool step(const AlertRule &rule, AlertState &state, double value);

} // namespace AlertRules
