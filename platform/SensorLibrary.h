#pragma once
// The sensor library: ten operations loaded at run time. Plain C++ so that the Windows
// backend compiles without Qt.
#include <string>
#include <vector>

#if defined(_WIN32)
#define TARNIX_SENSOR_CALL __cdecl
#else
#define TARNIX_SENSOR_CALL
#endif

struct SensorLibraryApi
{
    using InitFn = int(TARNIX_SENSOR_CALL *)(int);
    using StatusFn = int(TARNIX_SENSOR_CALL *)();
    using PrepareFn = int(TARNIX_SENSOR_CALL *)(int sensor);
    using NameFn = int(TARNIX_SENSOR_CALL *)(int sensor, char *buffer, int size);
    using ValueFn = double(TARNIX_SENSOR_CALL *)(int sensor, int reading, char *buffer, int size);
    using FanFn = int(TARNIX_SENSOR_CALL *)(int sensor, int reading, char *buffer, int size);

    InitFn sdkInit = nullptr;
    StatusFn sdkUninit = nullptr;
    StatusFn sdkGetSensorCount = nullptr;
    PrepareFn sdkPrepareSensor = nullptr;
    NameFn sdkGetSensorName = nullptr;
    ValueFn sdkGetTemperature = nullptr;
    FanFn sdkGetFanSpeed = nullptr;
    ValueFn sdkGetPower = nullptr;
    ValueFn sdkGetClock = nullptr;
    ValueFn sdkGetUsage = nullptr;

    bool isComplete() const
    {
        return sdkInit && sdkUninit && sdkGetSensorCount && sdkPrepareSensor && sdkGetSensorName &&
               sdkGetTemperature && sdkGetFanSpeed && sdkGetPower && sdkGetClock && sdkGetUsage;
    }
};

/// Which file a load took, and why candidates beside it were not taken, for the log.
struct SensorLibraryOrigin
{
    std::string path;                    // empty when nothing was loaded
    std::vector<std::string> passedOver; // one sentence per candidate found but not used
};

namespace SensorLibrary {
// Returned when the library or one of its ten entry points is missing.
constexpr int kMissing = -111;
// Size of the name buffer every name-writing call receives.
constexpr int kNameBufferSize = 256;

/// Loads the library by its full path and looks up its ten entry points; never unloads it.
/// \a directory empty: the folder of the executable (never the current folder or a search
/// path). Otherwise the folder that holds the library, for tools and tests.
/// Returns 0 with \a api complete, or kMissing with \a api left empty. \a origin, when given,
/// says what was loaded and what was passed over.
int load(SensorLibraryApi &api, const std::string &directory = std::string(),
         SensorLibraryOrigin *origin = nullptr);

/// The file name of the library on this platform (the first one tried).
const char *fileName();
} // namespace SensorLibrary
