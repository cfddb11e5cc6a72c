// tarnix-sensors: shows which reading of the sensor library feeds which value. Loads the
// library beside this tool, waits a second, runs one pass of the sensor thread and prints
//   reading<TAB>sensor<TAB>kind<TAB>name<TAB>value   for every accepted reading, then
//   field<TAB>cpuTemperature<TAB>45.9                 for the twelve values of the pass.
// Exit code 0, or the library's error code.
#include "getPcInfoThread.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct AcceptedReading
{
    std::string sensor;
    ReadingKind kind;
    std::string name;
    double value;
};

// The shortest plain decimal text that reads back as the same value.
std::string shortest(double value, bool singlePrecision)
{
    char text[400];
    for (int decimals = 0; decimals <= 17; ++decimals) {
        std::snprintf(text, sizeof(text), "%.*f", decimals, value);
        const double back = std::strtod(text, nullptr);
        if (singlePrecision ? static_cast<float>(back) == static_cast<float>(value) : back == value)
            break;
    }
    return text;
}

// The sensor thread traces to standard output; while it runs they go to standard error so
// this tool's own output stays parseable.
class TracesToStderr
{
public:
    TracesToStderr()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    ~TracesToStderr()
    {
        std::fflush(stdout);
        if (saved >= 0) {
            dup2(saved, STDOUT_FILENO);
            close(saved);
        }
    }

private:
    int saved = -1;
};

void printField(const char *name, float value)
{
    std::printf("field\t%s\t%s\n", name, shortest(value, true).c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<AcceptedReading> accepted;
    SensorReadings values;
    int status = 0;
    {
        TracesToStderr redirect;
        getPcInfoThread poller;
        QObject::connect(&poller, &getPcInfoThread::sigTheSdkInitStatus,
                         [&status](bool, int code) { status = code; });
        poller.setReadingObserver(
            [&accepted](const char *sensor, ReadingKind kind, const char *name, double value) {
                accepted.push_back(AcceptedReading{sensor, kind, name, value});
            });
        poller.initSdk();
        if (status != 0)
            return status;
        // Usage and power are rates: give them a second to measure.
        QThread::sleep(1);
        poller.pollOnce();
        values = poller.getSensorReadings();
        poller.stopPolling();
    }
    for (const AcceptedReading &reading : accepted)
        std::printf("reading\t%s\t%s\t%s\t%s\n", reading.sensor.c_str(),
                    SensorNameTables::kindName(reading.kind), reading.name.c_str(),
                    shortest(reading.value, false).c_str());
    for (const SensorReadingField &field : readingFields(values))
        printField(field.name, field.value);
    return 0;
}
