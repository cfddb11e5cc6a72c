// CPU cost of the HID transport over a long stretch, as the program runs all day: open with
// nothing queued, and fed one report a second. Measured from the process's own CPU time
// against the hidapi double, so only the transport's work is counted.
//
//   build/bench/bench_hidtransport [seconds per case, default 30]

#include "HidapiDouble.h"
#include "device/DeviceFrame.h"
#include "device/MainHidInterFace.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <time.h>

namespace {

constexpr double TargetPercent = 0.05;

struct Sample
{
    double cpuSeconds;
    double wallSeconds;
    long contextSwitches;
};

Sample sample()
{
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    timespec wall{};
    clock_gettime(CLOCK_MONOTONIC, &wall);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {cpu.tv_sec + cpu.tv_nsec / 1e9, wall.tv_sec + wall.tv_nsec / 1e9,
            usage.ru_nvcsw + usage.ru_nivcsw};
}

void report(const char *name, const Sample &from, const Sample &to, const char *extra = "",
            bool judged = true)
{
    const double cpu = to.cpuSeconds - from.cpuSeconds;
    const double wall = to.wallSeconds - from.wallSeconds;
    const double percent = 100.0 * cpu / wall;
    std::printf("%-28s %6.1f s wall  %8.3f ms CPU  %8.4f %% of one core  %6ld switches%s%s\n", name,
                wall, cpu * 1000.0, percent, to.contextSwitches - from.contextSwitches, extra,
                !judged || percent < TargetPercent ? "" : "  ABOVE TARGET");
    std::fflush(stdout);
}

void quietDebug(QtMsgType, const QMessageLogContext &, const QString &) {}

DeviceFrame sampleFrame()
{
    DeviceFrameInput in;
    in.readings.cpuTemperature = 45.9f;
    in.readings.cpuClock = 4700.6f;
    in.memoryTotalBytes = 16ULL << 30;
    in.localTime = QDateTime::currentDateTime();
    return buildDeviceFrame(in);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietDebug);
    qunsetenv("HIDAPI_DOUBLE_DIR");
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    HidapiDouble::addDevice(MainHidInterFace::VendorId, MainHidInterFace::ProductId,
                            "/dev/hidraw-bench");
    MainHidInterFace hid;
    hid.getuUsbHidDeviceList();
    hid.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    Sample start = sample();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    report("open, nothing queued", start, sample());

    const DeviceFrame frame = sampleFrame();
    start = sample();
    for (int i = 0; i < seconds; ++i) {
        hid.hidApi_Write(frame.data(), 64);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    char written[48];
    std::snprintf(written, sizeof written, "  (%zu frames written)", HidapiDouble::writes().size());
    report("one frame a second", start, sample(), written);
    hid.hidApi_Close();

    // For scale: a loop that polls every 500 us, which is what an idle writer used to cost.
    std::atomic_bool stop{false};
    start = sample();
    std::thread poller([&stop] {
        while (!stop)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    });
    std::this_thread::sleep_for(std::chrono::seconds(std::min(seconds, 5)));
    stop = true;
    poller.join();
    report("reference: 500 us polling", start, sample(), "", false);
    std::printf("target: below %.2f %% of one core for the transport\n", TargetPercent);
    return 0;
}
