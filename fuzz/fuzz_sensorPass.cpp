// One polling pass over a sensor library that answers from the fuzz input (FuzzedSensors),
// then the display report built from what the pass kept.
#include "FuzzInput.h"
#include "FuzzedSensors.h"
#include "device/DeviceFrame.h"
#include "sensors/getPcInfoThread.h"

#include <QFileInfo>

#include <cstdio>
#include <dlfcn.h>

namespace {
getPcInfoThread *poller = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The pass prints every accepted reading; libFuzzer reports on standard error.
    std::freopen("/dev/null", "w", stdout);
    // The library the pass loads is the very one linked here, found beside itself.
    Dl_info info{};
    dladdr(reinterpret_cast<void *>(&fuzzedSensorsLoad), &info);
    poller = new getPcInfoThread;
    poller->setLibraryDirectory(QFileInfo(QString::fromLocal8Bit(info.dli_fname)).path());
    poller->initSdk();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzedSensorsLoad(data, size);
    FuzzInput::require(poller->pollOnce());
    const SensorReadings readings = poller->getSensorReadings();
    const float fields[] = {
        readings.cpuTemperature, readings.cpuUsage,         readings.cpuClock,
        readings.cpuPower,       readings.cpuFan,           readings.gpuTemperature,
        readings.gpuUsage,       readings.gpuClock,         readings.gpuPower,
        readings.gpuFan,         readings.boardTemperature, readings.memoryClock};
    // A pass keeps only readings of at least 1 (so never NaN); the rest stay 0.
    for (const float field : fields)
        FuzzInput::require(field == 0 || field >= 1);
    DeviceFrameInput frame;
    frame.readings = readings;
    buildDeviceFrame(frame);
    return 0;
}
