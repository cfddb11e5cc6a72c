#include "app/ServiceOptions.h"

#include "logCollect/log_out.h"

#include <QCommandLineParser>
#include <QDir>
#include <QSettings>

namespace {

QString absolute(const QString &folder)
{
    return folder.isEmpty() ? folder : QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

} // namespace

namespace ServiceOptionsParser {

ServiceOptions parse(const QStringList &arguments, const QStringList &environment)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Feeds the USB display with the PC's sensor values once a second, without a window:\n"
        "the service form of Tarnix for machines without a desktop."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings (temperature unit, sources) in DIR "
                       "(default: $TARNIX_SETTINGS_DIR, else the user's settings)."),
        QStringLiteral("DIR"));
    const QCommandLineOption log(
        QStringLiteral("log-dir"),
        QStringLiteral("Write the daily log into DIR (default: $TARNIX_LOG_DIR, else "
                       "~/.local/share/tarnixd/logDir)."),
        QStringLiteral("DIR"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Say whether the display can be fed, and why not, then exit "
                       "(non-zero when it cannot)."));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Serve /metrics and /readings.json on ADDRESS:PORT, or \"off\" "
                       "(default: 127.0.0.1:10791, loopback only)."),
        QStringLiteral("ADDRESS:PORT"));
    parser.addOptions({help, version, settings, log, check, listen});

    ServiceOptions options;
    if (!parser.parse(arguments)) {
        options.action = ServiceOptions::Action::Error;
        options.text = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.action = ServiceOptions::Action::Error;
        options.text = QStringLiteral("Unexpected argument: ") + parser.positionalArguments()[0];
        return options;
    }
    options.settingsDir =
        absolute(parser.isSet(settings) ? parser.value(settings) : environment.value(0));
    options.logDir = absolute(parser.isSet(log) ? parser.value(log) : environment.value(1));
    options.listen = parser.value(listen);
    if (parser.isSet(help)) {
        options.action = ServiceOptions::Action::Help;
        options.text = parser.helpText();
    } else if (parser.isSet(version)) {
        options.action = ServiceOptions::Action::Version;
    } else if (parser.isSet(check)) {
        options.action = ServiceOptions::Action::Check;
    }
    return options;
}

void applyLocations(const ServiceOptions &options)
{
    if (!options.settingsDir.isEmpty()) {
        QDir().mkpath(options.settingsDir);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, options.settingsDir);
    }
    if (!options.logDir.isEmpty())
        LogFormat::setFolder(options.logDir);
}

} // namespace ServiceOptionsParser
