#pragma once
// What the library publishes: sensors with readings of five kinds. Reading files happens in
// Sensor::prepare(); the value calls then only look values up.
#include <functional>
#include <string>
#include <vector>

namespace hwsensors {

enum Kind
{
    Temperature,
    Fan,
    Power,
    Clock,
    Usage,
    KindCount
};

struct Reading
{
    std::string name;
    // Returns false when the source could not be read; the value then reads 0.
    std::function<bool(double &)> sample;
    double value = 0;
};

struct Sensor
{
    std::string name;
    std::vector<Reading> readings[KindCount];
    // Runs once per prepare, before the samples (a shared file read for several readings).
    std::function<void()> refresh;
    // False while the device sleeps (runtime suspend): nothing is read so it stays asleep.
    std::function<bool()> awake;

    void add(Kind kind, std::string readingName, std::function<bool(double &)> sample)
    {
        readings[kind].push_back(Reading{std::move(readingName), std::move(sample), 0});
    }
    bool empty() const
    {
        for (const auto &list : readings)
            if (!list.empty())
                return false;
        return true;
    }
    void prepare()
    {
        const bool canRead = !awake || awake();
        if (canRead && refresh)
            refresh();
        for (auto &list : readings) {
            for (Reading &reading : list) {
                double value = 0;
                reading.value = canRead && reading.sample(value) ? value : 0;
            }
        }
    }
};

/// A sample that reads a number from a file and multiplies it by \a scale.
std::function<bool(double &)> fileSample(std::string fullPath, double scale);

} // namespace hwsensors
