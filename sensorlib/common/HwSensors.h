#pragma once
// The ten operations of our sensor libraries, with C linkage.
#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
// Names and ordinals come from the .def file.
#define HWSENSORS_EXPORT
#else
#define HWSENSORS_EXPORT __attribute__((visibility("default")))
#endif

HWSENSORS_EXPORT int sdkInit(int version);
HWSENSORS_EXPORT int sdkUninit(void);
HWSENSORS_EXPORT int sdkGetSensorCount(void);
HWSENSORS_EXPORT int sdkPrepareSensor(int sensor);
HWSENSORS_EXPORT int sdkGetSensorName(int sensor, char *buffer, int size);
HWSENSORS_EXPORT double sdkGetTemperature(int sensor, int reading, char *buffer, int size);
HWSENSORS_EXPORT int sdkGetFanSpeed(int sensor, int reading, char *buffer, int size);
HWSENSORS_EXPORT double sdkGetPower(int sensor, int reading, char *buffer, int size);
HWSENSORS_EXPORT double sdkGetClock(int sensor, int reading, char *buffer, int size);
HWSENSORS_EXPORT double sdkGetUsage(int sensor, int reading, char *buffer, int size);

#ifdef __cplusplus
}
#endif
