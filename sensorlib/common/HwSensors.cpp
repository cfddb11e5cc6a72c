#include "HwSensors.h"
#include "MachineSensors.h"

#include <cmath>
#include <string>

using namespace hwsensors;

namespace {

// The callers' contract keeps the calls on one thread at a time, so no lock is taken here.
// Never destroyed: sdkUninit releases the sources. At process exit Windows has already
// detached the libraries loaded after this one (pdh.dll, nvml.dll), and a destructor calling
// into them could crash the exiting program.
MachineSensors &machine = *new MachineSensors;

const Reading *findReading(int sensor, Kind kind, int reading)
{
    if (sensor < 0 || static_cast<size_t>(sensor) >= machine.sensors.size() || reading < 0)
        return nullptr;
    const std::vector<Reading> &list = machine.sensors[static_cast<size_t>(sensor)].readings[kind];
    return static_cast<size_t>(reading) < list.size() ? &list[static_cast<size_t>(reading)]
                                                      : nullptr;
}

// A value call: a table look-up of what sdkPrepareSensor read.
double lookUp(int sensor, Kind kind, int reading, char *buffer, int size)
{
    const Reading *found = findReading(sensor, kind, reading);
    if (!found)
        return 0;
    copyName(found->name, buffer, size);
    return found->value;
}

} // namespace

int sdkInit(int version)
{
    (void)version;
    return startMachine(machine);
}

int sdkUninit(void)
{
    machine.sensors.clear();
    machine.platformState.reset();
    return 0;
}

int sdkGetSensorCount(void)
{
    return static_cast<int>(machine.sensors.size());
}

int sdkPrepareSensor(int sensor)
{
    if (sensor < 0 || static_cast<size_t>(sensor) >= machine.sensors.size())
        return -1;
    machine.sensors[static_cast<size_t>(sensor)].prepare();
    return 0;
}

int sdkGetSensorName(int sensor, char *buffer, int size)
{
    if (sensor < 0 || static_cast<size_t>(sensor) >= machine.sensors.size())
        return -1;
    copyName(machine.sensors[static_cast<size_t>(sensor)].name, buffer, size);
    return 0;
}

double sdkGetTemperature(int sensor, int reading, char *buffer, int size)
{
    return lookUp(sensor, Temperature, reading, buffer, size);
}

int sdkGetFanSpeed(int sensor, int reading, char *buffer, int size)
{
    return static_cast<int>(std::lround(lookUp(sensor, Fan, reading, buffer, size)));
}

double sdkGetPower(int sensor, int reading, char *buffer, int size)
{
    return lookUp(sensor, Power, reading, buffer, size);
}

double sdkGetClock(int sensor, int reading, char *buffer, int size)
{
    return lookUp(sensor, Clock, reading, buffer, size);
}

double sdkGetUsage(int sensor, int reading, char *buffer, int size)
{
    return lookUp(sensor, Usage, reading, buffer, size);
}
