#pragma once
#include "app/FeederClaim.h"
#include "app/OpenRetry.h"
#include "app/RefreshSnapshot.h"
#include "sensors/SensorSources.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class DeviceMonitor;
class MainHidInterFace;
class SleepMonitor;
class getPcInfoThread;

// The program without its window: the sensor thread, the display's transport, the device and
// sleep monitors. Every pass of the sensor thread is turned into the display's report on that
// thread and into one RefreshSnapshot; the GUI thread is woken for a pass only while someone
// watches (setWatched) or the display is being searched for. It keeps the display's state
// through hot-plug, failing writes and waking from sleep.
//
// Start order: construction (sensor thread idle), watchDevices(), startUpdate() (transport,
// then the sensor library off the GUI thread). Stop order: stop() or the destructor, sensor
// thread first, then the transport.
class Monitor : public QObject
{
    Q_OBJECT
public:
    /// Settle time after a hot-plug event before the display can be opened or is really gone.
    static constexpr int kDeviceSettleMs = 300;

    /// libraryDirectory: where the sensor library lies; empty means beside the executable.
    explicit Monitor(const QString &libraryDirectory = QString(), QObject *parent = nullptr);
    ~Monitor() override;

    /// Listens for hot-plug and wake-up; the native window receives the broadcasts on Windows.
    void watchDevices(quintptr nativeWindow);
    /// Feeds native broadcasts (Windows) to the device and sleep monitors.
    void handleNativeEvent(const QByteArray &eventType, void *message);
    /// Opens the display and starts the sensor library off the GUI thread.
    void startUpdate();
    /// Ends polling, closes the sensor library and the display, logging both. Before a quit.
    void stop();

    bool sdkReady() const { return m_sdkReady; }
    bool deviceConnected() const { return m_connected; }
    /// The latest pass; null before the first one.
    RefreshSnapshotPtr latestSnapshot() const;

    /// While watched, every pass ends in snapshotReady() on the GUI thread.
    void setWatched(bool watched);
    /// The unit of the temperature bytes in the next reports.
    void setCelsius(bool celsius) { m_celsius = celsius; }
    void setSourceChoices(const SourceChoices &choices);
    /// While on, each pass also lists every named reading (for the sources dialog).
    void setCollectSources(bool collect);
    SourceReport sourceReport() const;
    /// Called on the sensor thread at the end of every pass (a service's watchdog). Set before
    /// startUpdate().
    void setPassObserver(std::function<void()> observer) { passObserver = std::move(observer); }

signals:
    void sdkStatusChanged(bool isOK, int errorCode);
    void displayConnectionChanged(bool connected);
    void snapshotReady();
    /// After the settle time of a hot-plug event that concerns the display.
    void sigHidDeviceConnectChanging_Into(QString hidPath);
    void sigHidDeviceConnectChanging_Remove(QString hidPath);

public slots:
    void onHidDeviceConnectChanging_Into(QString hidPath);
    void onHidDeviceConnectChanging_Remove(QString hidPath);
    void onSystemResumed();

private slots:
    void onTheSdkInitStatus(bool isOK, int errorCode);
    void onOpenHidSuccessful();
    void onPassFinished();
    void onDeviceEvent(const QString &action, const QString &devicePath);
    void onHidWritesFailing();

private:
    // Sensor thread: the report and the snapshot of one pass. True when the GUI thread need
    // not hear of it.
    bool feedPass(const SensorReadings &readings);
    // Closes the display if open and searches again; until it is found, every pass searches
    // once more, since its return may not be announced either.
    void searchDisplayAgain();
    // After a search that did not open the display: one that is listed is tried again on
    // later passes.
    void planRetry();
    void setConnected(bool connected);
    // Searches for the display when this process may feed it; false when another one does.
    bool searchIfFeeder();

    getPcInfoThread *pcInfoThread = nullptr;
    MainHidInterFace *hidInterface = nullptr;
    DeviceMonitor *deviceMonitor = nullptr;
    SleepMonitor *sleepMonitor = nullptr;
    std::thread sdkStarter; // loads the sensor library; joined by the destructor

    bool m_sdkReady = false;                // GUI thread
    std::atomic<bool> m_connected{false};   // written by the GUI thread, read by the pass
    std::atomic<bool> m_displayLost{false}; // likewise
    std::atomic<bool> m_watched{false};
    std::atomic<bool> m_celsius{true};
    std::atomic<bool> m_feederRefused{false}; // the claim is tried again on every pass
    FeederClaim feeder;                       // GUI thread
    std::function<void()> passObserver;
    OpenRetry openRetry;

    AutoRangeMaxima maxima; // sensor thread only
    mutable std::mutex snapshotLock;
    RefreshSnapshotPtr snapshot; // guarded by snapshotLock
};
