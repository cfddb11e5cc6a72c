// The sensor loader against a DLL that exports its ten functions by ordinal only.
#include "platform/SensorLibrary.h"
#include "platform/windows/PeImage.h"
#include "winTestMain.h"

#include <cstdio>
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

// A folder beside the test holding copies of the complete test DLL under the given names.
std::string stage(const std::string &name, const char *const *files, int count)
{
    const std::string folder = exeFolder() + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string source = exeFolder() + "\\HWiNFO32.dll";
    for (int i = 0; i < count; ++i)
        CopyFileA(source.c_str(), (folder + "\\" + files[i]).c_str(), FALSE);
    return folder;
}

// Rewrites the machine field of a staged DLL, as if it had been built for \a machine.
void setMachine(const std::string &path, unsigned short machine)
{
    FILE *file = std::fopen(path.c_str(), "r+b");
    if (!file)
        return;
    unsigned char offset[4] = {};
    std::fseek(file, 0x3c, SEEK_SET);
    if (std::fread(offset, 1, 4, file) == 4) {
        const long nt = offset[0] | offset[1] << 8 | offset[2] << 16 | offset[3] << 24;
        const unsigned char bytes[2] = {static_cast<unsigned char>(machine & 0xff),
                                        static_cast<unsigned char>(machine >> 8)};
        std::fseek(file, nt + 4, SEEK_SET);
        std::fwrite(bytes, 1, 2, file);
    }
    std::fclose(file);
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool mentions(const SensorLibraryOrigin &origin, const char *a, const char *b)
{
    for (const std::string &line : origin.passedOver)
        if (line.find(a) != std::string::npos && line.find(b) != std::string::npos)
            return true;
    return false;
}

void checkPeHeaders()
{
    unsigned char image[0x90] = {'M', 'Z'};
    image[0x3c] = 0x80;
    image[0x80] = 'P';
    image[0x81] = 'E';
    image[0x84] = 0x4c;
    image[0x85] = 0x01;
    WCHECK(PeImage::machine(image, sizeof(image)) == PeImage::kMachineI386);
    WCHECK(PeImage::machine(image, 0x86) == PeImage::kMachineI386);
    WCHECK(PeImage::machine(image, 0x85) == 0); // the field cut off
    WCHECK(PeImage::machine(image, 0x3f) == 0); // no room for the DOS header
    image[0x3c] = 0xff;
    image[0x3d] = 0xff;
    WCHECK(PeImage::machine(image, sizeof(image)) == 0); // points past the end
    image[0x3c] = 0x80;
    image[0x3d] = 0;
    image[0x82] = 'X';
    WCHECK(PeImage::machine(image, sizeof(image)) == 0); // no PE signature
    image[0x82] = 0;
    image[0] = 'Z';
    WCHECK(PeImage::machine(image, sizeof(image)) == 0); // no MZ
    WCHECK(PeImage::machineOfProcess() == PeImage::kMachineAmd64);
    WCHECK(PeImage::machineName(PeImage::kMachineI386) == "32-bit x86");
    WCHECK(PeImage::machineName(0x1c4) == "machine 0x1c4");
}

// Which file feeds the values, when the third-party library, ours, both or a wrong one lie
// beside the program.
void checkChoice()
{
    SensorLibraryApi api;
    SensorLibraryOrigin origin;
    WCHECK(SensorLibrary::load(api, std::string(), &origin) == 0);
    WCHECK(endsWith(origin.path, "\\HWiNFO32.dll") && origin.passedOver.empty());

    const char *const own[] = {"hwsensors.dll"};
    WCHECK(SensorLibrary::load(api, stage("sensors-own", own, 1), &origin) == 0);
    WCHECK(endsWith(origin.path, "sensors-own\\hwsensors.dll"));

    const char *const both[] = {"HWiNFO32.dll", "hwsensors.dll"};
    WCHECK(SensorLibrary::load(api, stage("sensors-both", both, 2), &origin) == 0);
    WCHECK(endsWith(origin.path, "sensors-both\\HWiNFO32.dll"));

    const std::string wrong = stage("sensors-32bit", both, 2);
    setMachine(wrong + "\\HWiNFO32.dll", PeImage::kMachineI386);
    WCHECK(SensorLibrary::load(api, wrong, &origin) == 0);
    WCHECK(endsWith(origin.path, "sensors-32bit\\hwsensors.dll"));
    WCHECK(mentions(origin, "HWiNFO32.dll", "32-bit x86"));

    const std::string alone = stage("sensors-32bit-alone", both, 1);
    setMachine(alone + "\\HWiNFO32.dll", PeImage::kMachineI386);
    WCHECK(SensorLibrary::load(api, alone, &origin) == SensorLibrary::kMissing);
    WCHECK(origin.path.empty() && mentions(origin, "HWiNFO32.dll", "passed over"));
    WCHECK(!api.isComplete());

    const std::string junk = stage("sensors-junk", own, 1);
    FILE *text = std::fopen((junk + "\\HWiNFO32.dll").c_str(), "wb");
    if (text) {
        std::fputs("not a library", text);
        std::fclose(text);
    }
    WCHECK(SensorLibrary::load(api, junk, &origin) == 0);
    WCHECK(endsWith(origin.path, "sensors-junk\\hwsensors.dll"));
    WCHECK(mentions(origin, "HWiNFO32.dll", "not a Windows DLL"));

    WCHECK(SensorLibrary::load(api, exeFolder() + "\\sensors-missing", &origin) ==
           SensorLibrary::kMissing);
    WCHECK(mentions(origin, "HWiNFO32.dll", "lacks"));
}

} // namespace

int main()
{
    // With no folder named, as the program loads it: found beside the executable.
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
    checkPeHeaders();
    checkChoice();
    return wintestSummary("tst_sensorLoader");
}
