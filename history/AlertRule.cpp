#include "history/AlertRule.h"

#include <algorithm>

namespace AlertRules {

bool beyond(const AlertRule &rule, double value)
{
    return rule.below ? value < rule.threshold : value > rule.threshold;
}

bool backWithin(const AlertRule &rule, double value)
{
    const double margin = std::max(0.0, rule.margin);
    return rule.below ? value >= rule.threshold + margin : value <= rule.threshold - margin;
}

bool step(const AlertRule &rule, AlertState &state, double value)
{
    if (!rule.enabled || std::isnan(value))
        return false;
    if (!state.armed) {
        if (backWithin(rule, value)) {
            state.armed = true;
            state.heldFor = 0;
        }
        return false;
    }
    if (!beyond(rule, value)) {
        // A spike shorter than the hold starts the count again.
        state.heldFor = 0;
        return false;
    }
    ++state.heldFor;
    if (state.heldFor < std::max(1, rule.holdSeconds))
        return false;
    state.armed = false;
    state.heldFor = 0;
    return true;
}

} // namespace AlertRules
