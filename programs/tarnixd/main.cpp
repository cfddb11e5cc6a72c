// tarnixd: the display's feed without a window, for machines without a desktop. It does
// what Tarnix does with its window hidden, from the same libraries, and runs as a service.
#include "app/FeedCheck.h"
#include "app/Monitor.h"
#include "app/ServiceHeartbeat.h"
#include "app/ServiceOptions.h"
#include "app/UserSettings.h"
#include "core/UserStore.h"
#include "endpoint/ListenAddress.h"
#include "endpoint/MonitorEndpoint.h"
#include "history/HistoryFeed.h"
#include "logCollect/log_out.h"
#include "platform/CrashRestart.h"
#include "platform/ServiceNotify.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

ServiceOptions readOptions()
{
    return ServiceOptionsParser::parse(
        QCoreApplication::arguments(),
        {qEnvironmentVariable("TARNIX_SETTINGS_DIR"), qEnvironmentVariable("TARNIX_LOG_DIR")});
}

// The configuration beside the executable decides whether the user may pick the unit.
int startUnit()
{
    const QSettings config(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/configDir/appConfig.ini"),
                           QSettings::IniFormat);
    bool stored = true;
    const int unit = UserSettings::startUnit(
        config.value(QStringLiteral("AppUiShow/TemperatureChangShowModel")).toInt(), &stored);
    if (!stored)
        qDebug() << "TempShowModel could not be stored";
    if (unit == UserSettings::kCelsius)
        qDebug() << "TempShowModel Init -> [℃]";
    else
        qDebug() << "TempShowModel Init -> [℉]";
    return unit;
}

quint64 steadyMicroseconds()
{
    using namespace std::chrono;
    return quint64(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

int run(QCoreApplication &app, const ListenAddress &listen)
{
    if (!ServiceNotify::underServiceManager()) {
        // Under a service manager it restarts the service; run by hand, the program does.
        CrashRestart::recordStartStamp();
        CrashRestart::install();
    }
    TerminationSignals termination;
    termination.start();

    InitializeLog(QString());
    qInstallMessageHandler(LogMessageHandler);
    qDebug() << "------------------------- *** tarnixd Runing *** ------------------------------";
    qDebug() << "Settings:" << openUserStore()->fileName() << "Log:" << LogFormat::folderPath();

    Monitor monitor;
    monitor.setSourceChoices(UserSettings::sources());
    const bool celsius = startUnit() == UserSettings::kCelsius;
    monitor.setCelsius(celsius);
    ServiceHeartbeat heartbeat(ServiceNotify::ready, ServiceNotify::watchdogAlive,
                               ServiceNotify::watchdogIntervalUs());
    QObject::connect(
        &monitor, &Monitor::passCompleted, &monitor,
        [&heartbeat] { heartbeat.pass(steadyMicroseconds()); }, Qt::DirectConnection);

    // The history's alerts log and run the user's program; a service shows no notification.
    HistoryFeed history;
    history.setCelsius(celsius);
    history.loadUserSettings();
    history.attachTo(monitor);
    // A child of the monitor: it stops serving before the monitor goes.
    (new MonitorEndpoint(&monitor))->start(listen);

    int code = 0;
    const auto quit = [&monitor, &history, &app](int exitCode) {
        ServiceNotify::stopping();
        monitor.stop();
        history.flush();
        qDebug() << "Exit app runing [Normal]";
        app.exit(exitCode);
    };
    QObject::connect(&termination, &TerminationSignals::sigTerminationRequested, &app,
                     [&quit] { quit(0); });
    QObject::connect(
        &monitor, &Monitor::sdkStatusChanged, &app, [&quit, &code](bool ok, int errorCode) {
            if (ok)
                return;
            // Nothing to feed the display with: say so and end, so a service
            // manager shows the failure instead of a service that does nothing.
            qDebug() << "Sensor library did not start, tarnixd ends, errorCode:" << errorCode;
            code = 1;
            quit(1);
        });
    monitor.watchDevices(0);
    QTimer::singleShot(0, &monitor, &Monitor::startUpdate);
    app.exec();
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const ServiceOptions options = readOptions();
    switch (options.action) {
    case ServiceOptions::Action::Help:
        std::fputs(qPrintable(options.text), stdout);
        return 0;
    case ServiceOptions::Action::Version:
        std::printf("tarnixd %s\n", TARNIX_VERSION);
        return 0;
    case ServiceOptions::Action::Error:
        std::fprintf(stderr, "tarnixd: %s\nTry 'tarnixd --help'.\n", qPrintable(options.text));
        return 2;
    case ServiceOptions::Action::Check: {
        ServiceOptionsParser::applyLocations(options);
        QTextStream out(stdout);
        return FeedCheck::report(FeedCheck::gather(), out);
    }
    case ServiceOptions::Action::Run:
        break;
    }
    const ListenAddress listen = Endpoint::parseListen(
        options.listen.isEmpty() ? QString::fromLatin1(Endpoint::kDefaultListen) : options.listen);
    if (!listen.valid) {
        std::fprintf(stderr, "tarnixd: --listen %s\nTry 'tarnixd --help'.\n",
                     qPrintable(listen.error));
        return 2;
    }
    ServiceOptionsParser::applyLocations(options);
    return run(app, listen);
}
