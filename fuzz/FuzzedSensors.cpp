// Hostile library output for the polling pass: names that fill the whole buffer without a
// terminator, NaN, infinities and huge values, negative fan speeds, up to 10 000 sensors.
#include "FuzzedSensors.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kKinds = 5; // temperature, fan, power, clock, usage
constexpr int kManySensors = 10000;

struct Name
{
    std::string text;
    bool terminated = true;
};

struct Reading
{
    int kind = 0;
    int index = 0;
    Name name;
    double value = 0;
};

struct Sensor
{
    Name name;
    std::vector<Reading> readings;
};

std::vector<Sensor> sensors;

Name consumeName(FuzzedDataProvider &input)
{
    Name name;
    name.terminated = input.ConsumeBool();
    // Longer than the caller's buffer at times, so that it fills it completely.
    name.text = input.ConsumeRandomLengthString(300);
    return name;
}

void writeName(const Name &name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const size_t room = static_cast<size_t>(size);
    if (name.terminated) {
        const size_t length = std::min(name.text.size(), room - 1);
        std::memcpy(buffer, name.text.data(), length);
        buffer[length] = '\0';
    } else {
        // No terminator: the text is repeated up to the last byte of the buffer.
        for (size_t i = 0; i < room; ++i)
            buffer[i] = name.text.empty() ? 'x' : name.text[i % name.text.size()];
    }
}

const Reading *find(int sensor, int kind, int index)
{
    if (sensor < 0 || sensor >= static_cast<int>(sensors.size()))
        return nullptr;
    for (const Reading &reading : sensors[sensor].readings)
        if (reading.kind == kind && reading.index == index)
            return &reading;
    return nullptr;
}

double value(int kind, int sensor, int index, char *buffer, int size)
{
    const Reading *reading = find(sensor, kind, index);
    if (!reading)
        return 0;
    writeName(reading->name, buffer, size);
    return reading->value;
}

} // namespace

void fuzzedSensorsLoad(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint8_t count = input.ConsumeIntegral<uint8_t>();
    sensors.assign(count == 0xFF ? kManySensors : count % 16, Sensor());
    if (sensors.empty())
        return;
    for (size_t i = 0; i < std::min<size_t>(sensors.size(), 4); ++i)
        sensors[i].name = consumeName(input);
    while (input.remaining_bytes() > 0) {
        const int sensor =
            input.ConsumeIntegralInRange<int>(0, static_cast<int>(sensors.size()) - 1);
        Reading reading;
        reading.kind = input.ConsumeIntegralInRange(0, kKinds - 1);
        // Mostly the first readings, where the names of interest sit.
        reading.index = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 3)
                                            : input.ConsumeIntegralInRange(0, 511);
        uint64_t bits = input.ConsumeIntegral<uint64_t>();
        std::memcpy(&reading.value, &bits, sizeof(reading.value));
        reading.name = consumeName(input);
        sensors[sensor].readings.push_back(std::move(reading));
    }
}

EXPORT int sdkInit(int)
{
    return 0;
}
EXPORT int sdkUninit()
{
    return 0;
}
EXPORT int sdkGetSensorCount()
{
    return static_cast<int>(sensors.size());
}
EXPORT int sdkPrepareSensor(int)
{
    return 0;
}

EXPORT int sdkGetSensorName(int sensor, char *buffer, int size)
{
    if (sensor < 0 || sensor >= static_cast<int>(sensors.size()))
        return -1;
    writeName(sensors[sensor].name, buffer, size);
    return 0;
}

EXPORT double sdkGetTemperature(int sensor, int reading, char *buffer, int size)
{
    return value(0, sensor, reading, buffer, size);
}

EXPORT int sdkGetFanSpeed(int sensor, int reading, char *buffer, int size)
{
    const double fan = value(1, sensor, reading, buffer, size);
    // The library's own conversion, kept defined: whatever bits there are, some int.
    if (!(fan > -2147483648.0 && fan < 2147483647.0))
        return reading;
    return static_cast<int>(fan);
}

EXPORT double sdkGetPower(int sensor, int reading, char *buffer, int size)
{
    return value(2, sensor, reading, buffer, size);
}

EXPORT double sdkGetClock(int sensor, int reading, char *buffer, int size)
{
    return value(3, sensor, reading, buffer, size);
}

EXPORT double sdkGetUsage(int sensor, int reading, char *buffer, int size)
{
    return value(4, sensor, reading, buffer, size);
}
