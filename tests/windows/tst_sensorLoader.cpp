// The sensor loader against a DLL that exports its ten functions by ordinal only.
#include "platform/SensorLibrary.h"
#include "winTestMain.h"

#include <cstring>
#include <string>
#include <windows.h>

namespace {

std::string exeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

void checkEachOrdinal(const SensorLibraryApi &api)
{
    char name[256];
    WCHECK(api.sdkGetSensorCount() == 3);
    WCHECK(api.sdkPrepareSensor(2) == 0);
    name[0] = '\0';
    api.sdkGetSensorName(2, name, 256);
    WCHECK(std::strcmp(name, "Sensor 2/2") == 0);
    name[0] = '\0';
    WCHECK(api.sdkGetTemperature(1, 0, name, 256) == 46.5);
    WCHECK(std::strcmp(name, "CPU Package") == 0);
    name[0] = '\0';
    WCHECK(api.sdkGetFanSpeed(0, 3, name, 256) == 1203);
    WCHECK(std::strcmp(name, "CPU Fan") == 0);
    name[0] = '\0';
    WCHECK(api.sdkGetPower(0, 0, name, 256) == 65.25);
    WCHECK(std::strcmp(name, "CPU Package Power") == 0);
    name[0] = '\0';
    WCHECK(api.sdkGetClock(0, 0, name, 256) == 4700.5);
    WCHECK(std::strcmp(name, "Core 0 Clock") == 0);
    name[0] = '\0';
    WCHECK(api.sdkGetUsage(0, 0, name, 256) == 12.75);
    WCHECK(std::strcmp(name, "Total CPU Usage") == 0);
    WCHECK(api.sdkUninit() == 7);
}

void checkInitCodes(const SensorLibraryApi &api)
{
    const char *codes[] = {"0", "-5", "1234", "-111"};
    const int expected[] = {0, -5, 1234, -111};
    for (int i = 0; i < 4; ++i) {
        SetEnvironmentVariableA("SENSORS_TEST_INIT_CODE", codes[i]);
        WCHECK(api.sdkInit(64) == expected[i]);
    }
    SetEnvironmentVariableA("SENSORS_TEST_INIT_CODE", nullptr);
}

} // namespace

int main()
{
    // By its plain name, as the program loads it: found beside the executable.
    SensorLibraryApi api;
    WCHECK(SensorLibrary::load(api) == 0);
    WCHECK(api.isComplete());
    if (api.isComplete()) {
        checkEachOrdinal(api);
        checkInitCodes(api);
    }
    // The test DLL really has no names to find.
    const HMODULE module = GetModuleHandleW(L"HWiNFO32.dll");
    WCHECK(module != nullptr);
    WCHECK(GetProcAddress(module, "sdkInit") == nullptr);

    SensorLibraryApi missing;
    WCHECK(SensorLibrary::load(missing, exeFolder() + "\\sensors-missing") ==
           SensorLibrary::kMissing);
    WCHECK(!missing.sdkInit && !missing.sdkGetUsage);

    SensorLibraryApi absent;
    WCHECK(SensorLibrary::load(absent, exeFolder() + "\\no-such-folder") == -111);
    WCHECK(!absent.isComplete());
    return wintestSummary("tst_sensorLoader");
}
