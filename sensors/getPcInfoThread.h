#pragma once
#include "model/SensorReadings.h"
#include "platform/SensorLibrary.h"
#include "sensors/ReadingBounds.h"
#include "sensors/SensorNameTables.h"
#include "sensors/SensorSources.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The sensor thread: once a second it walks every reading the sensor library offers, picks the
// twelve values the name tables (or the user's sources) choose, and hands the finished pass,
// whole, to the pass handler on this thread once the library is free again. Without a handler
// the thread keeps the latest pass itself (getSensorReadings(), getSourceReport()) and
// sigGetPcInfoOk() announces it.
class getPcInfoThread : public QThread
{
    Q_OBJECT
public:
    /// Sees every accepted reading of a pass, in walk order (tools use it to show the sources).
    using ReadingObserver =
        std::function<void(const char *sensor, ReadingKind kind, const char *name, double value)>;

    /// Runs on this thread after a pass, outside the library lock, and takes the pass: the
    /// values and the sources that fed them. True when it dealt with them, and then no
    /// sigGetPcInfoOk() goes out for that pass (a hidden window need not wake for it).
    using PassHandler = std::function<bool(SourceReport &&pass)>;

    explicit getPcInfoThread(QObject *parent = nullptr);
    ~getPcInfoThread() override;

    /// Loads and starts the sensor library; reports through sigTheSdkInitStatus().
    void initSdk();
    /// The values of the latest finished pass, all twelve at once, while no handler takes
    /// the passes.
    SensorReadings getSensorReadings() const;
    /// Ends the loop and closes the library; its status, or -88 if it never started.
    int stopPolling();
    /// Ends the loop without waiting: no pass begins after this returns, even should the
    /// library come up later.
    void endLoop();

    /// Folder holding the library; empty (the default) means beside the executable.
    void setLibraryDirectory(const QString &directory);
    void setReadingObserver(ReadingObserver observer);
    /// Takes effect between passes: once this returns no pass uses the old handler. An empty
    /// handler removes it.
    void setPassHandler(PassHandler handler);
    /// The library started and polling was not stopped: passes run.
    bool libraryReady() const { return sdkReady; }
    /// Runs one pass now if the library is ready and polling was not stopped.
    bool pollOnce();
    /// Closes and starts the library again before the next pass, so that counters read as
    /// differences (usage, energy) start afresh and re-created device files are found, as
    /// after the machine slept.
    void restartSensors();

    /// The user's sources; the next pass starts using them. Any thread.
    void setSourceChoices(const SourceChoices &choices);
    /// While on, each pass also keeps every named reading for getSourceReport().
    void setCollectSources(bool collect);
    /// The latest finished pass as sources (candidates empty unless collecting), while no
    /// handler takes the passes.
    SourceReport getSourceReport() const;
    /// How long the latest finished pass took to walk the library; any thread.
    qint64 lastPassNanoseconds() const { return lastPassNs; }

signals:
    void sigTheSdkInitStatus(bool isOK, int errorCode);
    void sigGetPcInfoOk();

public slots:
    void onStartInitSdkLater();

protected:
    void run() override;

private:
    void getSensorInfo(SourceReport &pass);
    void publish(SourceReport &&pass, bool details);
    // Sleeps until the deadline or until polling ends; false when it ended.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);
    void restartLibrary();
    void walkSensor(int sensor, char *nameBuffer, bool details);
    double readValue(ReadingKind kind, int sensor, int reading, char *nameBuffer);
    void takeReading(const char *sensor, ReadingKind kind, const char *name, double value,
                     bool details);
    int noteCandidate(const char *sensor, ReadingKind kind, const char *name, double value);
    void applyNewChoices();
    void logMissingSources(unsigned missing);

    // Flags with one writer each; atomic so the other threads see them without a race.
    std::atomic<bool> running{true};
    std::atomic<bool> passDone{false};
    QElapsedTimer stopTimer;
    std::atomic<bool> sdkReady{false};
    SensorReadings readings; // the pass being built; only the loop thread touches it
    std::atomic<bool> logDetails{true};
    std::atomic<bool> passInProgress{false}; // from the walk's start until the pass is handed on
    std::atomic<bool> restartRequested{false};

    SensorLibraryApi sdk;
    SensorSourcePicker picker;
    ImplausibleReadings implausible; // the loop thread's
    SourceChoices activeChoices;     // the loop thread's copy of what picker uses
    std::vector<SourceCandidate> candidates;
    std::atomic<bool> collectSources{false};
    std::atomic<qint64> lastPassNs{0};
    bool collecting = false; // collectSources as the current pass saw it
    std::atomic<bool> choicesChanged{false};
    QMutex choicesLock;
    SourceChoices pendingChoices; // guarded by choicesLock
    // Held for the walk of a pass, for sdkInit and for sdkUninit: the library is never closed
    // or restarted under a pass. Nothing else runs under it.
    QMutex libraryLock;
    // Held while the handler runs and while it is replaced.
    std::mutex handlerLock;
    PassHandler passHandler;
    mutable std::mutex keptLock;
    SourceReport kept; // the latest pass while no handler takes them, guarded by keptLock
    std::mutex sleepLock;
    std::condition_variable sleepEnded; // wakes the loop when polling ends
    std::string libraryDirectory;
    ReadingObserver observer;
};
