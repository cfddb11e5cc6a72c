#pragma once
#include "sensors/SensorSources.h"

// The user's own choices in the per-user settings store: the temperature unit
// ("TempShowModel/Model", 1 = Celsius, 2 = Fahrenheit) and the sources (section "Sources").
// Every write is flushed and checked; false means the store did not take it, and nothing of
// it stays behind in this process. The sources' section itself is kept by SourceSettings,
// which the command-line tool shares.
namespace UserSettings {

constexpr int kCelsius = 1;
constexpr int kFahrenheit = 2;

/// The stored unit, kCelsius when none is stored. When the configuration does not let the
/// user choose (unitSwitch 0), Celsius is stored and answered; `stored` tells whether that
/// write succeeded (true when nothing had to be written).
int startUnit(int unitSwitch, bool *stored = nullptr);
bool storeUnit(int unit);

SourceChoices sources();
/// Writes every choice; an empty one removes its key.
bool storeSources(const SourceChoices &choices);

} // namespace UserSettings
