#include "app/Monitor.h"

#include "core/Clock.h"
#include "device/DeviceChange.h"
#include "device/DeviceFrame.h"
#include "device/MainHidInterFace.h"
#include "platform/DeviceMonitor.h"
#include "platform/SleepMonitor.h"
#include "sensors/getPcInfoThread.h"

#include <QDebug>
#include <QTimer>

Monitor::Monitor(const QString &libraryDirectory, QObject *parent) : QObject(parent)
{
    // Observers on other threads get the pass through a queued connection.
    qRegisterMetaType<RefreshSnapshotPtr>();
    // A queued signal rather than a queued functor: the event and its copy of the pass are
    // the GUI thread's alone, where a functor would be freed by whichever thread lets go last.
    connect(this, &Monitor::passForGuiThread, this, &Monitor::onPassFinished, Qt::QueuedConnection);
    pcInfoThread = new getPcInfoThread(nullptr);
    if (!libraryDirectory.isEmpty())
        pcInfoThread->setLibraryDirectory(libraryDirectory);
    connect(pcInfoThread, &getPcInfoThread::sigTheSdkInitStatus, this,
            &Monitor::onTheSdkInitStatus);
    // This handler takes every pass, so the thread's own sigGetPcInfoOk() never goes out.
    pcInfoThread->setPassHandler([this](SourceReport &&sources) {
        feedPass(std::move(sources));
        return true;
    });
    // Idle until the library is ready.
    pcInfoThread->start(QThread::InheritPriority);

    connect(this, &Monitor::sigHidDeviceConnectChanging_Into, this,
            &Monitor::onHidDeviceConnectChanging_Into);
    connect(this, &Monitor::sigHidDeviceConnectChanging_Remove, this,
            &Monitor::onHidDeviceConnectChanging_Remove);
}

Monitor::~Monitor()
{
    // The sensor thread first: once the handler is gone no pass writes to the display or
    // touches this object; then the display, whose writer may still hold a report.
    pcInfoThread->setPassHandler({});
    if (sdkStarter.joinable())
        sdkStarter.join();
    delete pcInfoThread; // ends after the pass in hand
    if (hidInterface) {
        hidInterface->hidApi_Close();
        hidInterface->wait();
        delete hidInterface;
    }
}

// ---- start-up and shut-down ---------------------------------------------------------------

void Monitor::watchDevices(quintptr nativeWindow)
{
    deviceMonitor = new DeviceMonitor(this);
    connect(deviceMonitor, &DeviceMonitor::deviceEvent, this, &Monitor::onDeviceEvent);
    if (!deviceMonitor->start(nativeWindow))
        qDebug() << "Device monitor unavailable: the display is only found at start-up";

    sleepMonitor = new SleepMonitor(this);
    connect(sleepMonitor, &SleepMonitor::resumed, this, &Monitor::onSystemResumed);
    if (!sleepMonitor->start())
        qDebug() << "Sleep monitor unavailable: waking from sleep goes unnoticed";
}

void Monitor::handleNativeEvent(const QByteArray &eventType, void *message)
{
    if (deviceMonitor)
        deviceMonitor->handleNativeEvent(eventType, message);
    if (sleepMonitor)
        sleepMonitor->handleNativeEvent(eventType, message);
}

void Monitor::startUpdate()
{
    qDebug() << "Start Update -> Start";
    setConnected(false);

    hidInterface = new MainHidInterFace(nullptr);
    connect(hidInterface, &MainHidInterFace::sigOpenHidSuccessful, this,
            &Monitor::onOpenHidSuccessful);
    connect(hidInterface, &MainHidInterFace::sigWritesFailing, this, &Monitor::onHidWritesFailing,
            Qt::QueuedConnection);
    searchIfFeeder();

    qDebug() << "Start Update -> Over";
    qDebug() << "Start Thread Runing SDK -> GetComputerInfo [Start]";

    // Loading the sensor library can take a while; keep it off the GUI thread. The sensor
    // thread already runs and takes up polling once the library is ready.
    getPcInfoThread *sensors = pcInfoThread;
    sdkStarter = std::thread([sensors] { sensors->initSdk(); });
}

void Monitor::stop()
{
    if (pcInfoThread->libraryReady()) {
        const int status = pcInfoThread->stopPolling();
        qDebug() << "HWi32SDK UNinit Over [Status],errorCode:" << status;
    }
    if (m_connected) {
        setConnected(false);
        hidInterface->hidApi_Close();
    }
    // No pass reaches the display any more, and its transport goes now, so that the quit's
    // last log line stays the last one. A library still starting cannot be interrupted: its
    // start is waited for here, no pass runs on it, and the sensor thread closes it when it
    // goes.
    pcInfoThread->endLoop();
    pcInfoThread->setPassHandler({});
    if (sdkStarter.joinable())
        sdkStarter.join();
    if (hidInterface) {
        hidInterface->hidApi_Close();
        hidInterface->wait();
        delete hidInterface;
        hidInterface = nullptr;
    }
    feeder.release();
}

void Monitor::onTheSdkInitStatus(bool isOK, int errorCode)
{
    if (isOK)
        qDebug() << "HWi32SDK init Over [Successful]";
    else
        qDebug() << "HWi32SDK init Over [Failed], errorCode:" << errorCode;
    emit sdkStatusChanged(isOK, errorCode);
}

bool Monitor::sdkReady() const
{
    return pcInfoThread->libraryReady();
}

void Monitor::onOpenHidSuccessful()
{
    qDebug() << "onOpenHidSuccessful -----------------------";
    m_displayLost = false;
    openRetry.stop();
    hidInterface->setQuiet(false);
    hidInterface->start(QThread::InheritPriority);
    setConnected(true);
}

void Monitor::setConnected(bool connected)
{
    m_connected = connected;
    emit displayConnectionChanged(connected);
}

// ---- the once-a-second pass ---------------------------------------------------------------

void Monitor::feedPass(SourceReport &&sources)
{
    // Sensor thread, with the sensor library already free for the next pass.
    auto built = std::make_shared<RefreshSnapshot>();
    built->readings = sources.readings;
    built->sources = std::move(sources);
    built->memory = SystemFigures::memory();
    built->drive = SystemFigures::systemDrive();
    maxima = RefreshPass::advanceMaxima(maxima, built->readings);
    built->maxima = maxima;
    built->localTime = Clock::now();
    const RefreshSnapshotPtr pass = std::move(built);
    const bool openDue = openRetry.tick();
    // Set only once the transport exists, so the pointer is seen with it. A report built
    // before the display was closed and opened again is refused by its session.
    if (m_connected) {
        const unsigned session = hidInterface->openSession();
        const DeviceFrame bytes =
            buildDeviceFrame(RefreshPass::frameInput(*pass, m_celsius, pass->localTime));
        hidInterface->writeReport(bytes.data(), session);
    }
    {
        std::lock_guard<std::mutex> lock(snapshotLock);
        snapshot = pass;
    }
    emit passCompleted(pass);
    if (m_watched || m_displayLost || openDue || m_feederRefused)
        emit passForGuiThread(pass);
}

void Monitor::onPassFinished(const RefreshSnapshotPtr &pass)
{
    // The one place a pass reaches the GUI thread: a lost display is searched for here, and
    // one that would not open is tried again when its turn comes.
    const bool openDue = openRetry.takeDue();
    if ((m_displayLost || openDue || m_feederRefused) && !m_connected && hidInterface) {
        if (searchIfFeeder())
            m_displayLost = !m_connected && !hidInterface->deviceListed();
    }
    if (m_watched)
        emit snapshotReady(pass);
}

RefreshSnapshotPtr Monitor::latestSnapshot() const
{
    std::lock_guard<std::mutex> lock(snapshotLock);
    return snapshot;
}

void Monitor::setWatched(QObject *watcher, bool watched)
{
    const auto known = watchers.find(watcher);
    if (watched && known == watchers.end()) {
        watchers.insert(watcher, connect(watcher, &QObject::destroyed, this,
                                         [this, watcher] { setWatched(watcher, false); }));
    } else if (!watched && known != watchers.end()) {
        disconnect(known.value());
        watchers.erase(known);
    }
    m_watched = !watchers.isEmpty();
}

void Monitor::setSourceChoices(const SourceChoices &choices)
{
    pcInfoThread->setSourceChoices(choices);
}

void Monitor::setCollectSources(bool collect)
{
    m_collectForDialog = collect;
    pcInfoThread->setCollectSources(m_collectForDialog || m_collectForEndpoint);
}

void Monitor::setCollectForEndpoint(bool collect)
{
    m_collectForEndpoint = collect;
    pcInfoThread->setCollectSources(m_collectForDialog || m_collectForEndpoint);
}

quint64 Monitor::reportsSent() const
{
    // The transport is made by startUpdate(), before the first pass.
    return hidInterface ? hidInterface->reportsSent() : 0;
}

double Monitor::lastPassSeconds() const
{
    return pcInfoThread->lastPassNanoseconds() / 1e9;
}

// ---- the display coming and going ---------------------------------------------------------

void Monitor::onDeviceEvent(const QString &action, const QString &devicePath)
{
    const DeviceChange change = decideDeviceChange(action, devicePath);
    if (change == DeviceChange::None)
        return;
    const bool arrival = change == DeviceChange::Arrival;
    if (arrival == m_connected)
        return;
    // Re-checked when the settle time is over: a display with several interfaces announces
    // each of them, and only the first may open it.
    QTimer::singleShot(kDeviceSettleMs, this, [this, arrival, devicePath] {
        if (arrival == m_connected)
            return;
        if (arrival)
            emit sigHidDeviceConnectChanging_Into(devicePath);
        else
            emit sigHidDeviceConnectChanging_Remove(devicePath);
    });
}

void Monitor::onHidDeviceConnectChanging_Into(QString hidPath)
{
    qDebug() << "Insert a new device --------------- hidPath:" << hidPath;
    if (!hidInterface)
        return;
    m_connected = false;
    searchIfFeeder();
}

void Monitor::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    qDebug() << "Pull out a device --------------- hidPath:" << hidPath;
    if (!hidInterface)
        return;
    openRetry.stop();
    setConnected(false);
    hidInterface->hidApi_Close();
    hidInterface->quit();
}

void Monitor::onHidWritesFailing()
{
    if (!m_connected)
        return;
    qDebug() << "Display writes keep failing: closing it and searching again";
    searchDisplayAgain();
}

void Monitor::onSystemResumed()
{
    qDebug() << "System resumed: searching the display again and restarting the sensor readings";
    pcInfoThread->restartSensors();
    if (hidInterface)
        searchDisplayAgain();
}

void Monitor::searchDisplayAgain()
{
    if (m_connected) {
        setConnected(false);
        hidInterface->hidApi_Close();
        hidInterface->quit();
    }
    if (searchIfFeeder())
        m_displayLost = !m_connected && !hidInterface->deviceListed();
}

bool Monitor::searchIfFeeder()
{
    m_feederRefused = !feeder.claim();
    if (m_feederRefused)
        return false;
    hidInterface->getuUsbHidDeviceList();
    planRetry();
    return true;
}

void Monitor::planRetry()
{
    if (m_connected)
        return;
    if (!hidInterface->deviceListed()) {
        // Searched for on every pass when lost, else left to its arrival.
        openRetry.stop();
        hidInterface->setQuiet(false);
        return;
    }
    // Found but not openable (a permission race at logon, an error on waking): tried again
    // less and less often, logged only at the start of the outage.
    if (!openRetry.failing())
        qDebug() << "Display found but not opened: trying again on the refresh tick";
    hidInterface->setQuiet(true);
    openRetry.failed();
}
