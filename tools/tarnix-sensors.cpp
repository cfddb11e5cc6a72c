// tarnix-sensors: shows which reading of the sensor library feeds which value. Loads the
// library beside this tool, waits a second, runs one pass of the sensor thread (with the
// user's sources) and prints
//   reading<TAB>sensor<TAB>kind<TAB>name<TAB>value   for every accepted reading, then
//   field<TAB>cpuTemperature<TAB>45.9                 for the twelve values of the pass.
// With --sources it then lists, per value, what fed it and what could:
//   source<TAB>value<TAB>reason<TAB>reading<TAB>setting
//   candidate<TAB>value<TAB>mark<TAB>reading<TAB>number
//   card<TAB>sensor<TAB>present|missing              when a GPU card is chosen
// --set VALUE 'sensor/kind/reading' and --reset VALUE write the user's sources.
// Exit code 0, 1 when --set or --reset could not write the settings file, 2 for a wrong
// command line, or the library's error code.
#include "sensors/SourceSettings.h"
#include "sensors/getPcInfoThread.h"

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

const char usage[] = "usage: tarnix-sensors [--sources]\n"
                     "       tarnix-sensors --set VALUE 'sensor/kind/reading'\n"
                     "       tarnix-sensors --set gpuCard 'sensor'\n"
                     "       tarnix-sensors --reset VALUE|gpuCard\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "tarnix-sensors: %s\n%s", qPrintable(message), usage);
    return 2;
}

// --set and --reset: checks the text as the sensor thread will read it, then stores it.
int writeSource(const QString &key, const QString &text, bool reset)
{
    const int value = SensorSources::valueIndex(key);
    const bool card = key == QLatin1String(SourceSettings::gpuCardKey());
    if (value < 0 && !card)
        return fail(QStringLiteral("unknown value '%1'").arg(key));
    if (!reset && value >= 0 && !SensorSources::parseFor(value, text, nullptr))
        return fail(QStringLiteral("'%1' is not a %2 reading written as sensor/kind/reading")
                        .arg(text, QLatin1String(SensorNameTables::kindName(
                                       SensorSources::valueKind(value)))));
    if (!reset && card &&
        (text.isEmpty() || text.contains(QChar(0)) ||
         text.toLocal8Bit().size() > SensorSources::kMaxNameBytes))
        return fail(QStringLiteral("'%1' is no sensor name").arg(text));
    if (!SourceSettings::storeOne(key, reset ? QString() : text)) {
        std::fprintf(stderr, "tarnix-sensors: nothing saved: cannot write %s\n",
                     qPrintable(SourceSettings::fileName()));
        return 1;
    }
    return 0;
}

void printSources(const SourceReport &report, const SourceChoices &choices)
{
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        const int chosen = report.chosen[v];
        const QString ref =
            chosen >= 0 ? SensorSources::refText(report.candidates[chosen]) : QString();
        std::printf("source\t%s\t%s\t%s\t%s\n", SensorSources::valueKey(v),
                    SensorSources::reasonName(report.reasons[v]), ref.toLocal8Bit().constData(),
                    choices.overrides[v].toLocal8Bit().constData());
        for (const int i : SensorSources::candidatesFor(report, v)) {
            const SourceCandidate &c = report.candidates[i];
            const char *mark = i == chosen                                   ? "chosen"
                               : SensorSources::inSaneRange(c.kind, c.value) ? "usable"
                                                                             : "refused";
            std::printf("candidate\t%s\t%s\t%s\t%s\n", SensorSources::valueKey(v), mark,
                        SensorSources::refText(c).toLocal8Bit().constData(),
                        shortest(c.value, false).c_str());
        }
    }
    if (!choices.gpuCard.isEmpty()) {
        const QByteArray card = choices.gpuCard.toLocal8Bit();
        bool present = false;
        for (const SourceCandidate &c : report.candidates)
            present = present || c.sensor == card;
        std::printf("card\t%s\t%s\n", card.constData(), present ? "present" : "missing");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    bool listSources = false;
    if (!args.isEmpty()) {
        const QString command = args.at(0);
        if (command == QLatin1String("--set") && args.size() == 3)
            return writeSource(args.at(1), args.at(2), false);
        if (command == QLatin1String("--reset") && args.size() == 2)
            return writeSource(args.at(1), QString(), true);
        if (command != QLatin1String("--sources") || args.size() != 1)
            return fail(QStringLiteral("unexpected arguments"));
        listSources = true;
    }

    const SourceChoices choices = SourceSettings::load();
    std::vector<AcceptedReading> accepted;
    SensorReadings values;
    SourceReport sources;
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
        poller.setSourceChoices(choices);
        poller.setCollectSources(listSources);
        poller.initSdk();
        if (status != 0)
            return status;
        // Usage and power are rates: give them a second to measure.
        QThread::sleep(1);
        poller.pollOnce();
        values = poller.getSensorReadings();
        sources = poller.getSourceReport();
        poller.stopPolling();
    }
    for (const AcceptedReading &reading : accepted)
        std::printf("reading\t%s\t%s\t%s\t%s\n", reading.sensor.c_str(),
                    SensorNameTables::kindName(reading.kind), reading.name.c_str(),
                    shortest(reading.value, false).c_str());
    for (const SensorReadingField &field : readingFields(values))
        printField(field.name, field.value);
    if (listSources)
        printSources(sources, choices);
    return 0;
}
