#include "StagedTarnix.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QSettings>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

const QString binaryDir = QStringLiteral(TARNIX_BINARY_DIR);
const QString sourceDir = QStringLiteral(TARNIX_SOURCE_DIR);
constexpr int frameLength = 65;

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray appConfig(const StagedTarnix::Options &options)
{
    return QStringLiteral("[AppInfo]\nAppName=Tarnix\nAppVersion=V_1.0.0.01\n"
                          "AppID=TARNIX-E2E\n"
                          "[AppIco]\nAppIcoSel01=AppIco.png\nAppIcoSel02=AppLogo.png\n"
                          "[AppUiShow]\nShowMainPageUI=%1\nLeftTopShowModel=1\n"
                          "LeftTopShowImage=leftTopImage.png\nMainAreaShowModel=1\n"
                          "AppVersionShowModel=1\nDeviceConStatusShowModel=1\n"
                          "TemperatureChangShowModel=%2\nCompanyInfoShowModel=1\n"
                          "HardwareInfoShowModel=1\n"
                          "[ThemeColor]\nMainBorderColor=20.20.20\nMainBgColor=37.37.37\n"
                          "ProgressBarDefBgColor=60.60.60\nProgressBarStartColor=236.3.78\n"
                          "ProgressBarEndColor=255.41.37\nRadioDefColor=175.175.175\n"
                          "RadioSelColor=255.2.0\nDataValueTextColor=220.220.220\n"
                          "FrameBorderColor=49.49.49\nTextFont=Montserrat\n")
        .arg(options.showMainPage)
        .arg(options.temperatureSelector)
        .toUtf8();
}

bool copyImages(const QString &to)
{
    const QDir from(sourceDir + QStringLiteral("/configDir"));
    for (const QString &name : from.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        if (!QFile::copy(from.filePath(name), to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(25);
    }
    return true;
}

} // namespace

StagedTarnix::StagedTarnix(const Options &options)
{
    valid = folder.isValid() && stage(options);
}

StagedTarnix::~StagedTarnix()
{
    stop();
}

bool StagedTarnix::stage(const Options &options)
{
    QDir root(folder.path());
    for (const char *sub : {"configDir", "hid", "home", "config", "data", "cache"}) {
        if (!root.mkpath(QLatin1String(sub)))
            return false;
    }
    program = options.installedProgram;
    arguments = options.arguments;
    // Each program keeps its log under its own name in the application-data folder.
    logFolder = QStringLiteral("data/") + options.executable + QStringLiteral("/logDir");
    if (program.isEmpty()) {
        program = path(options.executable);
        if (!QFile::copy(binaryDir + QLatin1Char('/') + options.executable, program) ||
            !stageFiles(options))
            return false;
    }
    setDeviceLine(options.deviceLine);
    setFaults(options.hidFaults);
    if (options.storedUnit != 0) {
        root.mkpath(QStringLiteral("config/MyCompanyKelmar"));
        const QByteArray unit =
            "[TempShowModel]\nModel=" + QByteArray::number(options.storedUnit) + "\n";
        if (!writeFile(path(QStringLiteral("config/MyCompanyKelmar/Tarnix.conf")), unit))
            return false;
    }
    if (!options.sources.isEmpty()) {
        // Written by QSettings itself, so its quoting of odd names is what the program reads.
        QSettings settings(path(QStringLiteral("config/MyCompanyKelmar/Tarnix.conf")),
                           QSettings::IniFormat);
        for (auto it = options.sources.begin(); it != options.sources.end(); ++it)
            settings.setValue(QStringLiteral("Sources/") + it.key(), it.value());
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
    env.insert(QStringLiteral("TARNIX_SCRIPTED_SENSORS"), path(QStringLiteral("sensors.script")));
    if (!options.sensorRoot.isEmpty())
        env.insert(QStringLiteral("HWSENSORS_ROOT"), options.sensorRoot);
    env.insert(QStringLiteral("HIDAPI_DOUBLE_DIR"), path(QStringLiteral("hid")));
    env.insert(QStringLiteral("LD_LIBRARY_PATH"),
               binaryDir + QStringLiteral("/tests/hidapi-double"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The lock that keeps to one feeder per display: shared by the copies of one test only.
    if (!env.contains(QStringLiteral("TARNIX_LOCK_DIR")))
        env.insert(QStringLiteral("TARNIX_LOCK_DIR"), QDir::tempPath());
    for (auto it = options.environment.begin(); it != options.environment.end(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(path(QStringLiteral("stdout")));
    process.setStandardErrorFile(path(QStringLiteral("stderr")));
    return true;
}

bool StagedTarnix::stageFiles(const Options &options)
{
    if (options.withSensorLibrary &&
        !QFile::copy(binaryDir + QStringLiteral("/tests/scripted-sensors/libhwsensors.so"),
                     path(QStringLiteral("libhwsensors.so"))))
        return false;
    if (!copyImages(path(QStringLiteral("configDir"))) ||
        !writeFile(path(QStringLiteral("configDir/appConfig.ini")), appConfig(options)) ||
        !writeFile(path(QStringLiteral("sensors.script")), options.sensorScript.toUtf8()))
        return false;
    return true;
}

bool StagedTarnix::start()
{
    startMs = QDateTime::currentMSecsSinceEpoch();
    process.start(program, arguments);
    return process.waitForStarted(10000);
}

void StagedTarnix::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

bool StagedTarnix::endWith(int signalNumber, int timeoutMs, int &exitCode)
{
    if (process.state() != QProcess::Running ||
        ::kill(pid_t(process.processId()), signalNumber) != 0 ||
        !process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return false;
    exitCode = process.exitCode();
    return true;
}

QList<SentFrame> StagedTarnix::frames() const
{
    QList<SentFrame> sent;
    const QList<QByteArray> lines = readFile(path(QStringLiteral("hid/writes"))).split('\n');
    for (const QByteArray &line : lines) {
        const int space = line.indexOf(' ');
        if (space < 0)
            continue;
        SentFrame frame;
        frame.atMs = line.left(space).toLongLong();
        frame.bytes = QByteArray::fromHex(line.mid(space + 1));
        if (frame.bytes.size() == frameLength)
            sent.append(frame);
    }
    return sent;
}

QString StagedTarnix::events() const
{
    return QString::fromUtf8(readFile(path(QStringLiteral("hid/events"))));
}

QString StagedTarnix::log() const
{
    // The log is in the local 8-bit code page; the texts looked for are plain ASCII.
    const QDir logDir(path(logFolder));
    QString text;
    for (const QString &name : logDir.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name))
        text += QString::fromLocal8Bit(readFile(logDir.filePath(name)));
    return text;
}

QString StagedTarnix::standardOutput() const
{
    return QString::fromLocal8Bit(readFile(path(QStringLiteral("stdout"))));
}

QString StagedTarnix::standardError() const
{
    return QString::fromLocal8Bit(readFile(path(QStringLiteral("stderr"))));
}

bool StagedTarnix::waitForFrames(int count, int timeoutMs) const
{
    return waitUntil([&] { return frames().size() >= count; }, timeoutMs);
}

bool StagedTarnix::waitForLog(const QString &text, int timeoutMs) const
{
    return waitUntil([&] { return log().contains(text); }, timeoutMs);
}

bool StagedTarnix::waitForEvent(const QString &text, int timeoutMs) const
{
    return waitUntil([&] { return events().contains(text); }, timeoutMs);
}

void StagedTarnix::setDeviceLine(const QString &line)
{
    const QString devices = path(QStringLiteral("hid/devices"));
    // Written whole and renamed into place, so the double never reads half a file.
    writeFile(devices + QStringLiteral(".new"),
              line.isEmpty() ? QByteArray() : line.toUtf8() + '\n');
    std::rename(QFile::encodeName(devices + QStringLiteral(".new")).constData(),
                QFile::encodeName(devices).constData());
}

void StagedTarnix::setFaults(const QString &script)
{
    const QString faults = path(QStringLiteral("hid/faults"));
    if (script.isEmpty()) {
        QFile::remove(faults);
        return;
    }
    writeFile(faults + QStringLiteral(".new"), script.toUtf8());
    std::rename(QFile::encodeName(faults + QStringLiteral(".new")).constData(),
                QFile::encodeName(faults).constData());
}
