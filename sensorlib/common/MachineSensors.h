#pragma once
// Everything the library publishes for one machine, in walk order.
#include "SensorModel.h"

#include <memory>
#include <vector>

namespace hwsensors {

struct MachineSensors
{
    std::vector<Sensor> sensors;
    // Platform sources that the sensors' samples read through; released after them.
    std::shared_ptr<void> platformState;
};

/// Finds this platform's sensors into \a machine; what sdkInit returns (0, or negative when
/// the set-up is wrong rather than the machine without sensors).
int startMachine(MachineSensors &machine);

/// Copies \a name into \a buffer of \a size bytes, always terminated.
void copyName(const std::string &name, char *buffer, int size);

} // namespace hwsensors
