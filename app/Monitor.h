#pragma once
#include "app/FeederClaim.h"
#include "app/OpenRetry.h"
#include "app/RefreshSnapshot.h"
#include "sensors/SensorSources.h"

#include <QByteArray>
#include <QHash>
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
// sleep monitors. Every pass of the sensor thread becomes one immutable RefreshSnapshot on that
// thread, and the display's report is built from it there. Readers take passes from here only:
// latestSnapshot() at any time, or snapshotReady() once per pass on the GUI thread while anyone
// watches (setWatched); unwatched, a pass wakes the GUI thread only while the display is being
// searched for. It keeps the display's state through hot-plug, failing writes and waking from
// sleep.
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
    /// Ends polling, closes the sensor library and the display, logging both, and lets the
    /// display's transport go. Before a quit: the display is not searched for again.
    void stop();

    /// The sensor library is up and passes run.
    bool sdkReady() const;
    bool deviceConnected() const { return m_connected; }
    /// The latest pass; null before the first one. Any thread.
    RefreshSnapshotPtr latestSnapshot() const;

    /// While \a watcher watches, every pass ends in snapshotReady() on the GUI thread; passes
    /// are delivered while at least one watcher is left. A destroyed watcher stops watching.
    void setWatched(QObject *watcher, bool watched);
    /// The unit of the temperature bytes in the next reports.
    void setCelsius(bool celsius) { m_celsius = celsius; }
    void setSourceChoices(const SourceChoices &choices);
    /// While on, each pass also lists every named reading in its sources (for the dialog).
    void setCollectSources(bool collect);
    /// The same for the HTTP endpoint, kept apart so that closing the dialog does not end it.
    void setCollectForEndpoint(bool collect);
    /// Reports the display took since start; any thread.
    quint64 reportsSent() const;
    /// The latest pass's walk of the sensor library, in seconds; any thread.
    double lastPassSeconds() const;

signals:
    void sdkStatusChanged(bool isOK, int errorCode);
    void displayConnectionChanged(bool connected);
    /// One per pass, with that pass, while watched.
    void snapshotReady(RefreshSnapshotPtr snapshot);
    /// After every pass, on the sensor thread, with that pass: for readers that keep their own
    /// record of every pass (connect with Qt::DirectConnection and return quickly).
    void passCompleted(RefreshSnapshotPtr snapshot);
    /// From the sensor thread to this object's own thread, for a pass it must hear of.
    void passForGuiThread(RefreshSnapshotPtr snapshot);
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
    void onPassFinished(const RefreshSnapshotPtr &pass);
    void onDeviceEvent(const QString &action, const QString &devicePath);
    void onHidWritesFailing();

private:
    // Sensor thread: the snapshot and the report of one pass; wakes the GUI thread for it
    // when someone watches or the display is searched for.
    void feedPass(SourceReport &&sources);
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

    std::atomic<bool> m_connected{false};   // written by the GUI thread, read by the pass
    std::atomic<bool> m_displayLost{false}; // likewise
    std::atomic<bool> m_watched{false};
    QHash<QObject *, QMetaObject::Connection> watchers; // GUI thread
    std::atomic<bool> m_celsius{true};
    bool m_collectForDialog = false; // GUI thread
    bool m_collectForEndpoint = false;
    std::atomic<bool> m_feederRefused{false}; // the claim is tried again on every pass
    FeederClaim feeder;                       // GUI thread
    OpenRetry openRetry;

    AutoRangeMaxima maxima; // sensor thread only
    mutable std::mutex snapshotLock;
    RefreshSnapshotPtr snapshot; // guarded by snapshotLock
};
