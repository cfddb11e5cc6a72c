#pragma once
// One copy of the real Tarnix in a folder of its own: the executable, a configDir with the
// configuration a test asks for, the scripted sensor library beside it, its own home, settings
// and log folders, and the hidapi double steered through files in the folder. An installed
// Tarnix runs from where it is, with the same folders and the same double.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct SentFrame
{
    qint64 atMs = 0;  // when the double accepted it, ms since the epoch
    QByteArray bytes; // the 65 bytes, report number first
};

class StagedTarnix
{
public:
    struct Options
    {
        bool withSensorLibrary = true;
        QString sensorScript;
        QString deviceLine = QStringLiteral("5131 2007 /dev/hidraw-e2e");
        QString hidFaults; // the double's faults from the start, as in its faults file
        int showMainPage = 0;
        int temperatureSelector = 1;    // AppUiShow/TemperatureChangShowModel
        int storedUnit = 0;             // TempShowModel/Model; 0 leaves it unset
        QMap<QString, QString> sources; // Sources/<key> in the same settings file
        // An installed program to run as it is (its own library and configDir) instead of
        // a staged copy of the build's; the options above that stage files do not apply.
        QString installedProgram;
        QString sensorRoot; // HWSENSORS_ROOT for the real sensor library
        // The build's program to stage ("Tarnix" or "tarnixd") and its arguments.
        QString executable = QStringLiteral("Tarnix");
        QStringList arguments;
        // Set last, over the variables above (QT_QPA_PLATFORM=wayland, for one).
        QMap<QString, QString> environment;
    };

    explicit StagedTarnix(const Options &options);
    ~StagedTarnix();

    bool isValid() const { return valid; }
    bool start();
    bool isRunning() const { return process.state() == QProcess::Running; }
    // SIGTERM, then SIGKILL if the copy is still there after a moment.
    void stop();
    qint64 startedAtMs() const { return startMs; }
    qint64 processId() const { return process.processId(); }
    // The exit code once the copy has ended by itself.
    int exitCode() const { return process.exitCode(); }
    // Sends the copy a signal; true when it ended by itself within the timeout, its exit code
    // in exitCode.
    bool endWith(int signalNumber, int timeoutMs, int &exitCode);

    QList<SentFrame> frames() const;
    QString events() const;
    QString log() const;
    QString standardOutput() const;
    QString standardError() const;

    // Waits until at least count frames were sent; false after the timeout.
    bool waitForFrames(int count, int timeoutMs) const;
    bool waitForLog(const QString &text, int timeoutMs) const;
    bool waitForEvent(const QString &text, int timeoutMs) const;

    void setDeviceLine(const QString &line);
    // The hidapi double's faults file (see HidapiDouble.h); empty removes it.
    void setFaults(const QString &script);

    // A file in the copy's folder: "home", "config", "data", "hid", ...
    QString path(const QString &name) const { return folder.filePath(name); }

private:
    bool stage(const Options &options);
    bool stageFiles(const Options &options);

    QTemporaryDir folder;
    QString program;
    QStringList arguments;
    QString logFolder; // relative to the copy's folder
    QProcess process;
    qint64 startMs = 0;
    bool valid = false;
};
