/* A stand-in for the vendor's sensor DLL: the ten functions, exported by ordinal only.
 * Every function answers something of its own, so a test can tell the ordinals apart. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static void writeName(char *buffer, int size, const char *name)
{
    if (buffer && size > 0) {
        strncpy(buffer, name, (size_t)size - 1);
        buffer[size - 1] = '\0';
    }
}

/* The result comes from SENSORS_TEST_INIT_CODE so the test can ask for any code. */
int __cdecl sdkInit(int version)
{
    char code[32];
    if (version != 64)
        return -64;
    if (GetEnvironmentVariableA("SENSORS_TEST_INIT_CODE", code, sizeof(code)) == 0)
        return 0;
    return atoi(code);
}

int __cdecl sdkUninit(void)
{
    return 7;
}

int __cdecl sdkGetSensorCount(void)
{
    return 3;
}

static int prepared = -1;

int __cdecl sdkPrepareSensor(int sensor)
{
    prepared = sensor;
    return 0;
}

int __cdecl sdkGetSensorName(int sensor, char *buffer, int size)
{
    char name[32];
    snprintf(name, sizeof(name), "Sensor %d/%d", sensor, prepared);
    writeName(buffer, size, name);
    return 0;
}

double __cdecl sdkGetTemperature(int sensor, int reading, char *buffer, int size)
{
    (void)reading;
    writeName(buffer, size, "CPU Package");
    return 45.5 + sensor;
}

int __cdecl sdkGetFanSpeed(int sensor, int reading, char *buffer, int size)
{
    (void)sensor;
    writeName(buffer, size, "CPU Fan");
    return 1200 + reading;
}

double __cdecl sdkGetPower(int sensor, int reading, char *buffer, int size)
{
    (void)sensor;
    (void)reading;
    writeName(buffer, size, "CPU Package Power");
    return 65.25;
}

double __cdecl sdkGetClock(int sensor, int reading, char *buffer, int size)
{
    (void)sensor;
    (void)reading;
    writeName(buffer, size, "Core 0 Clock");
    return 4700.5;
}

double __cdecl sdkGetUsage(int sensor, int reading, char *buffer, int size)
{
    (void)sensor;
    (void)reading;
    writeName(buffer, size, "Total CPU Usage");
    return 12.75;
}
