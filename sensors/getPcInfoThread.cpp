#include "sensors/getPcInfoThread.h"
#include "sensors/PassSchedule.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>

#include <cstdio>

namespace {

constexpr int kReadingsPerSensor = 512;
constexpr int kNameSize = SensorLibrary::kNameBufferSize;
constexpr int kStopWaitMs = 1000;
constexpr int64_t kPollIntervalMs = 1000;

const ReadingKind kWalkOrder[kReadingKindCount] = {ReadingKind::Temperature, ReadingKind::Fan,
                                                   ReadingKind::Power, ReadingKind::Clock,
                                                   ReadingKind::Usage};

void logReading(ReadingKind kind, const char *name, double value)
{
    const char *format = "";
    QString message;
    switch (kind) {
    case ReadingKind::Temperature:
        format = "Temperature ===> %s = %.1f C\n";
        message = QStringLiteral("Temperature ===> %1 = %2 \u2103");
        break;
    case ReadingKind::Fan:
        format = "Fan ===> %s = %.0f RPM\n";
        message = QStringLiteral("Fan ===> %1 = %2 RPM");
        break;
    case ReadingKind::Power:
        format = "Power ===> %s = %.3f W\n";
        message = QStringLiteral("Power ===> %1 = %2 W");
        break;
    case ReadingKind::Clock:
        format = "Clock ===> %s = %.1f MHz\n";
        message = QStringLiteral("Clock ===> %1 = %2 MHz");
        break;
    case ReadingKind::Usage:
        format = "Usage ===> %s = %.1f%%\n";
        message = QStringLiteral("Usage ===> %1 = %2 %");
        break;
    }
    std::printf(format, name, value);
    qDebug().noquote() << message.arg(QString::fromLocal8Bit(name),
                                      QStringLiteral("%1").arg(value));
}

// Says which file feeds the values, and why a library beside it was not taken (debug level:
// the log keeps only that).
void logOrigin(const SensorLibraryOrigin &origin)
{
    for (const std::string &reason : origin.passedOver)
        qDebug().noquote() << QString::fromStdString(reason);
    if (!origin.path.empty())
        qDebug().noquote() << "Sensor library:" << QString::fromStdString(origin.path);
}

} // namespace

getPcInfoThread::getPcInfoThread(QObject *parent) : QThread(parent) {}

getPcInfoThread::~getPcInfoThread()
{
    endLoop();
    wait();
    // A library that came up after the quit had begun is still open.
    QMutexLocker lock(&libraryLock);
    if (sdkReady) {
        sdk.sdkUninit();
        sdkReady = false;
    }
}

void getPcInfoThread::setLibraryDirectory(const QString &directory)
{
    libraryDirectory = QFile::encodeName(directory).toStdString();
}

void getPcInfoThread::setReadingObserver(ReadingObserver readingObserver)
{
    observer = std::move(readingObserver);
}

void getPcInfoThread::setPassHandler(PassHandler handler)
{
    std::lock_guard<std::mutex> lock(handlerLock);
    passHandler = std::move(handler);
}

void getPcInfoThread::onStartInitSdkLater()
{
    initSdk();
}

void getPcInfoThread::initSdk()
{
    bool loaded = false;
    int status = 0;
    SensorLibraryOrigin origin;
    {
        QMutexLocker lock(&libraryLock);
        loaded = SensorLibrary::load(sdk, libraryDirectory, &origin) == 0;
        if (loaded) {
            status = sdk.sdkInit(64);
            // Set before the signal goes out, so its receiver sees the new state.
            logDetails = status == 0;
            sdkReady = status == 0;
        }
    }
    logOrigin(origin);
    if (!loaded) {
        emit sigTheSdkInitStatus(false, SensorLibrary::kMissing);
        std::printf("CANNOT LOAD DLL\n");
    } else if (status != 0) {
        emit sigTheSdkInitStatus(false, status);
        std::printf("SDK HWiNFO -> INIT FAILED %d\n", status);
    } else {
        emit sigTheSdkInitStatus(true, 0);
        std::printf("SDK HWiNFO -> INIT OK\n");
    }
    std::fflush(stdout);
}

void getPcInfoThread::run()
{
    using Clock = std::chrono::steady_clock;
    const auto sinceStart = [start = Clock::now()] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    int64_t deadline = kPollIntervalMs;
    while (running) {
        if (!waitUntil(Clock::now() + std::chrono::milliseconds(deadline - sinceStart())))
            break;
        pollOnce();
        deadline = PassSchedule::nextDeadline(deadline, sinceStart(), kPollIntervalMs);
    }
}

bool getPcInfoThread::waitUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(sleepLock);
    return !sleepEnded.wait_until(lock, deadline, [this] { return !running; });
}

void getPcInfoThread::endLoop()
{
    {
        // Through the lock, so the loop either sees the flag or is already asleep.
        std::lock_guard<std::mutex> lock(sleepLock);
        running = false;
    }
    sleepEnded.notify_all();
}

bool getPcInfoThread::pollOnce()
{
    SourceReport pass;
    bool details = false;
    {
        QMutexLocker lock(&libraryLock);
        // Checked under the lock: once stopPolling() holds it, no new pass can begin.
        if (!running || !sdkReady)
            return false;
        if (restartRequested.exchange(false)) {
            restartLibrary();
            if (!sdkReady)
                return false;
        }
        passInProgress = true;
        details = logDetails;
        getSensorInfo(pass);
    }
    // The library is free again before anything is done with the pass.
    publish(std::move(pass), details);
    return true;
}

void getPcInfoThread::restartSensors()
{
    restartRequested = true;
}

void getPcInfoThread::restartLibrary()
{
    sdk.sdkUninit();
    const int status = sdk.sdkInit(64);
    if (status == 0)
        return;
    sdkReady = false;
    emit sigTheSdkInitStatus(false, status);
    std::printf("SDK HWiNFO -> INIT FAILED %d\n", status);
}

void getPcInfoThread::getSensorInfo(SourceReport &pass)
{
    passDone = false;
    QElapsedTimer passTimer;
    passTimer.start();
    const bool details = logDetails;
    if (details)
        qDebug().noquote() << "---------------------------- *** Hardware info get [Start] *** "
                              "----------------------------";
    if (choicesChanged)
        applyNewChoices();
    collecting = collectSources;
    candidates.clear();
    picker.startPass(readings);

    // One buffer for every call of the pass, so nothing is allocated.
    char nameBuffer[kNameSize];
    const int count = sdk.sdkGetSensorCount();
    for (int sensor = 0; sensor < count; ++sensor)
        walkSensor(sensor, nameBuffer, details);

    if (details)
        qDebug().noquote() << "---------------------------- *** Hardware info get [Over] *** "
                              "----------------------------";
    logDetails = false;
    lastPassNs = passTimer.nsecsElapsed();
    const unsigned missing = picker.finishPass(readings);
    if (missing)
        logMissingSources(missing);
    pass.readings = readings;
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        pass.reasons[v] = picker.reason(v);
        pass.chosen[v] = collecting ? picker.chosenCandidate(v) : -1;
    }
    if (collecting)
        pass.candidates.swap(candidates);
}

void getPcInfoThread::publish(SourceReport &&pass, bool details)
{
    // Only a pass that printed readings is pushed out at once; the blank line of a quiet pass
    // waits in stdio's buffer, which saves a write a second when the output is a file or pipe.
    if (details)
        std::fflush(stdout);
    bool handled = false;
    {
        std::lock_guard<std::mutex> lock(handlerLock);
        if (passHandler) {
            handled = passHandler(std::move(pass));
        } else {
            std::lock_guard<std::mutex> keptLocker(keptLock);
            kept = std::move(pass);
        }
    }
    passDone = true;
    passInProgress = false;
    if (!handled)
        emit sigGetPcInfoOk();
}

void getPcInfoThread::walkSensor(int sensor, char *nameBuffer, bool details)
{
    char sensorName[kNameSize];
    sdk.sdkPrepareSensor(sensor);
    sensorName[0] = '\0';
    sdk.sdkGetSensorName(sensor, sensorName, kNameSize);
    // A library may fill the whole buffer; never read past it.
    sensorName[kNameSize - 1] = '\0';
    if (details) {
        std::printf("======== %s ========\n", sensorName);
        qDebug().noquote()
            << QStringLiteral("======== %1 ========").arg(QString::fromLocal8Bit(sensorName));
    }
    picker.startSensor(sensorName);
    // Readings below the walk's threshold matter only to the user's sources and the listing.
    const bool wantAll = picker.hasChoices() || collecting;
    for (int reading = 0; reading < kReadingsPerSensor; ++reading) {
        for (const ReadingKind kind : kWalkOrder) {
            const double value = readValue(kind, sensor, reading, nameBuffer);
            if (nameBuffer[0] == '\0' || !implausible.admit(sensorName, kind, nameBuffer, value))
                continue;
            // Written as a positive test so that NaN is refused too.
            const bool accepted = value >= 1.0;
            if (accepted)
                takeReading(sensorName, kind, nameBuffer, value, details);
            else if (wantAll)
                picker.offer(kind, nameBuffer, value, false,
                             noteCandidate(sensorName, kind, nameBuffer, value), readings);
        }
    }
    std::printf("\n");
}

double getPcInfoThread::readValue(ReadingKind kind, int sensor, int reading, char *nameBuffer)
{
    nameBuffer[0] = '\0';
    double value = 0;
    switch (kind) {
    case ReadingKind::Temperature:
        value = sdk.sdkGetTemperature(sensor, reading, nameBuffer, kNameSize);
        break;
    case ReadingKind::Fan:
        value = sdk.sdkGetFanSpeed(sensor, reading, nameBuffer, kNameSize);
        break;
    case ReadingKind::Power:
        value = sdk.sdkGetPower(sensor, reading, nameBuffer, kNameSize);
        break;
    case ReadingKind::Clock:
        value = sdk.sdkGetClock(sensor, reading, nameBuffer, kNameSize);
        break;
    case ReadingKind::Usage:
        value = sdk.sdkGetUsage(sensor, reading, nameBuffer, kNameSize);
        break;
    }
    nameBuffer[kNameSize - 1] = '\0';
    return value;
}

void getPcInfoThread::takeReading(const char *sensor, ReadingKind kind, const char *name,
                                  double value, bool details)
{
    if (details)
        logReading(kind, name, value);
    if (observer)
        observer(sensor, kind, name, value);
    picker.offer(kind, name, value, true, noteCandidate(sensor, kind, name, value), readings);
}

int getPcInfoThread::noteCandidate(const char *sensor, ReadingKind kind, const char *name,
                                   double value)
{
    if (!collecting)
        return -1;
    candidates.push_back(SourceCandidate{QByteArray(sensor), kind, QByteArray(name), value});
    return int(candidates.size()) - 1;
}

void getPcInfoThread::setSourceChoices(const SourceChoices &choices)
{
    QMutexLocker lock(&choicesLock);
    pendingChoices = choices;
    choicesChanged = true;
}

void getPcInfoThread::setCollectSources(bool collect)
{
    collectSources = collect;
}

SourceReport getPcInfoThread::getSourceReport() const
{
    std::lock_guard<std::mutex> lock(keptLock);
    return kept;
}

void getPcInfoThread::applyNewChoices()
{
    {
        QMutexLocker lock(&choicesLock);
        activeChoices = pendingChoices;
        choicesChanged = false;
    }
    const unsigned unreadable = picker.setChoices(activeChoices);
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        if (unreadable & (1u << v))
            qDebug().noquote() << QStringLiteral(
                                      "Sources -> %1 '%2' unreadable, name tables decide")
                                      .arg(QLatin1String(SensorSources::valueKey(v)),
                                           activeChoices.overrides[v]);
    }
}

void getPcInfoThread::logMissingSources(unsigned missing)
{
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        if (missing & (1u << v))
            qDebug().noquote() << QStringLiteral("Sources -> %1 '%2' not found, name tables decide")
                                      .arg(QLatin1String(SensorSources::valueKey(v)),
                                           activeChoices.overrides[v]);
    }
    if (missing & SensorSourcePicker::kCardBit)
        qDebug().noquote() << QStringLiteral(
                                  "Sources -> gpuCard '%1' not found, name tables decide")
                                  .arg(activeChoices.gpuCard);
}

SensorReadings getPcInfoThread::getSensorReadings() const
{
    std::lock_guard<std::mutex> lock(keptLock);
    return kept.readings;
}

int getPcInfoThread::stopPolling()
{
    endLoop();
    stopTimer.start();
    while (stopTimer.elapsed() < kStopWaitMs && !passDone)
        QCoreApplication::processEvents();
    // A pass that outlasts the wait still uses the library: closing it now would pull it
    // from under that pass, so wait for the pass to end.
    while (!libraryLock.tryLock(10))
        QCoreApplication::processEvents();
    int status = -88;
    if (sdkReady) {
        status = sdk.sdkUninit();
        sdkReady = false;
    }
    libraryLock.unlock();
    // The pass that outlasted the wait is handed on whole before this returns.
    while (passInProgress) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return status;
}
