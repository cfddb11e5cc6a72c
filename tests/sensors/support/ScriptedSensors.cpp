// A sensor library for tests: the ten operations, with sensors and readings taken from the
// script file named by TARNIX_SCRIPTED_SENSORS. The script is read again at the start of
// every pass (sdkGetSensorCount), so a test can change the values between passes.
//
//   # comment
//   init -7                       sdkInit's result (default 0)
//   initdelay 2500                sdkInit sleeps this many milliseconds before it answers
//   delay 300                     each sdkPrepareSensor sleeps this many milliseconds
//   crash                         the next pass dies of an access violation (a real one)
//   sensor CPU [#0]: Test CPU     starts a sensor
//   temperature 0 45.5 CPU Package
//   fan 3 1200 CPU Fan            <kind> <reading index> <value|nan> <name>
//
// Kinds: temperature, fan, power, clock, usage. A name (sensor or reading) of
// "@unterminated" fills the whole buffer without a terminating zero.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <locale>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
// Exported by ordinal only, through a .def file, as the vendor's DLL does.
#define SCRIPTED_EXPORT extern "C" __cdecl
#else
#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

enum Kind
{
    Temperature,
    Fan,
    Power,
    Clock,
    Usage,
    KindCount
};

struct ScriptSensor
{
    std::string name;
    std::map<int, std::pair<std::string, double>> readings[KindCount];
};

struct Script
{
    int init = 0;
    int initDelayMs = 0;
    int delayMs = 0;
    bool crash = false;
    std::vector<ScriptSensor> sensors;
};

Script script;
bool started = false;
int callsAfterUninit = 0;
int uninitCalls = 0;

int kindOf(const std::string &word)
{
    static const char *const names[KindCount] = {"temperature", "fan", "power", "clock", "usage"};
    for (int i = 0; i < KindCount; ++i)
        if (word == names[i])
            return i;
    return -1;
}

std::string restOfLine(std::istringstream &stream)
{
    std::string rest;
    std::getline(stream, rest);
    const size_t first = rest.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : rest.substr(first);
}

bool loadScript(Script &loaded)
{
    const char *path = std::getenv("TARNIX_SCRIPTED_SENSORS");
    if (!path)
        return false;
    std::ifstream file(path);
    if (!file)
        return false;
    loaded = Script();
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream stream(line);
        std::string word;
        if (!(stream >> word) || word[0] == '#')
            continue;
        if (word == "init") {
            stream >> loaded.init;
        } else if (word == "initdelay") {
            stream >> loaded.initDelayMs;
        } else if (word == "delay") {
            stream >> loaded.delayMs;
        } else if (word == "crash") {
            loaded.crash = true;
        } else if (word == "sensor") {
            loaded.sensors.push_back(ScriptSensor{restOfLine(stream), {}});
        } else if (kindOf(word) >= 0 && !loaded.sensors.empty()) {
            int index = 0;
            std::string value;
            stream >> index >> value;
            // Read with a dot whatever the program's locale (atof would stop at it under a
            // comma locale).
            double number = 0;
            if (value == "nan") {
                number = std::nan("");
            } else {
                std::istringstream text(value);
                text.imbue(std::locale::classic());
                text >> number;
            }
            loaded.sensors.back().readings[kindOf(word)][index] = {restOfLine(stream), number};
        }
    }
    return true;
}

void writeName(const std::string &name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    if (name == "@unterminated") {
        std::memset(buffer, 'X', static_cast<size_t>(size));
        return;
    }
    const size_t length = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

void noteCall()
{
    if (!started)
        ++callsAfterUninit;
}

double value(Kind kind, int sensor, int reading, char *buffer, int size)
{
    noteCall();
    if (sensor < 0 || static_cast<size_t>(sensor) >= script.sensors.size())
        return 0;
    const auto &readings = script.sensors[static_cast<size_t>(sensor)].readings[kind];
    const auto found = readings.find(reading);
    if (found == readings.end())
        return 0;
    writeName(found->second.first, buffer, size);
    return found->second.second;
}

} // namespace

SCRIPTED_EXPORT int sdkInit(int version)
{
    if (version != 64)
        return -64;
    if (!loadScript(script))
        return -3;
    if (script.initDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(script.initDelayMs));
    started = script.init == 0;
    return script.init;
}

SCRIPTED_EXPORT int sdkUninit()
{
    ++uninitCalls;
    started = false;
    return 0;
}

SCRIPTED_EXPORT int sdkGetSensorCount()
{
    noteCall();
    Script fresh;
    if (loadScript(fresh))
        script = fresh;
    if (script.crash) {
        volatile int *nowhere = nullptr;
        *nowhere = 1;
    }
    return static_cast<int>(script.sensors.size());
}

SCRIPTED_EXPORT int sdkPrepareSensor(int)
{
    noteCall();
    if (script.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(script.delayMs));
    return 0;
}

SCRIPTED_EXPORT int sdkGetSensorName(int sensor, char *buffer, int size)
{
    noteCall();
    if (sensor >= 0 && static_cast<size_t>(sensor) < script.sensors.size())
        writeName(script.sensors[static_cast<size_t>(sensor)].name, buffer, size);
    return 0;
}

SCRIPTED_EXPORT double sdkGetTemperature(int sensor, int reading, char *buffer, int size)
{
    return value(Temperature, sensor, reading, buffer, size);
}

SCRIPTED_EXPORT int sdkGetFanSpeed(int sensor, int reading, char *buffer, int size)
{
    const double rpm = value(Fan, sensor, reading, buffer, size);
    return std::isnan(rpm) ? 0 : static_cast<int>(rpm);
}

SCRIPTED_EXPORT double sdkGetPower(int sensor, int reading, char *buffer, int size)
{
    return value(Power, sensor, reading, buffer, size);
}

SCRIPTED_EXPORT double sdkGetClock(int sensor, int reading, char *buffer, int size)
{
    return value(Clock, sensor, reading, buffer, size);
}

#ifndef SCRIPTED_WITHOUT_USAGE
SCRIPTED_EXPORT double sdkGetUsage(int sensor, int reading, char *buffer, int size)
{
    return value(Usage, sensor, reading, buffer, size);
}
#endif

// For tests: calls made while the library was not started, and sdkUninit calls so far.
SCRIPTED_EXPORT int scriptedSensorsCallsAfterUninit()
{
    return callsAfterUninit;
}

SCRIPTED_EXPORT int scriptedSensorsUninitCount()
{
    return uninitCalls;
}
