#pragma once
#include "history/AlertEvent.h"
#include "history/HistoryRing.h"
#include "history/HistorySettings.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

class Monitor;
class ReadingsRecorder;
struct RefreshSnapshot;

// The past of the values: every pass goes into the hour's ring, through the alert rules and,
// when on, into the record. Fed on the sensor thread (take()), read from any thread; it adds
// no timer and no wake-up of its own. A fired alert is logged and runs the user's program
// here; alertFired() lets a window add a notification.
class HistoryFeed : public QObject
{
    Q_OBJECT
public:
    explicit HistoryFeed(QObject *parent = nullptr);
    ~HistoryFeed() override;

    // The rules and the record as the user set them in the per-user store.
    void loadUserSettings();
    // Has the monitor hand every pass to take(), on its sensor thread; before startUpdate().
    void attachTo(Monitor &monitor);

    void setAlerts(const AlertSettings &alerts);
    // Starts, moves or stops the record; with the record on, fills the ring from today's file.
    void setRecord(const RecordSettings &record);
    void setCelsius(bool celsius) { m_celsius = celsius; }
    bool celsius() const { return m_celsius; }

    // One pass, stamped with its local time.
    void take(const RefreshSnapshot &pass, const QDateTime &local);
    void takeSample(const HistoryChannels::Sample &sample, const QDateTime &local);
    // Writes the record's waiting rows (at exit).
    void flush();

    // A channel's values over the `seconds` that end with the newest sample, and that second.
    QVector<float> series(int channel, int seconds, qint64 *endSecond = nullptr) const;

signals:
    // Emitted on the feeding thread.
    void alertFired(const AlertEvent &event);

private:
    void runAlerts(const HistoryChannels::Sample &sample);
    void act(const AlertEvent &event);

    mutable std::mutex m_lock; // guards everything below
    HistoryRing m_ring;
    AlertSettings m_alerts;
    QVector<AlertState> m_states;
    std::unique_ptr<ReadingsRecorder> m_recorder;
    std::atomic<bool> m_celsius{true};
};
