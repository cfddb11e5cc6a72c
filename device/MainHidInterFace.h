#pragma once
#include "device/DisplayIds.h"

#include <QString>
#include <QThread>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

// The link to the USB display (ids in device/DisplayIds.h). The GUI thread finds and opens
// the device and queues 65-byte reports; the thread's run() writes them, one per pass, in the
// order they came. Nothing is ever read from the device.
//
// The display only ever needs the latest report: while writes stall, the queue keeps the two
// newest and drops older ones, and closing the device empties it, so nothing built before an
// outage reaches the display after it. A run of failed writes means the display is gone although no
// removal was seen; sigWritesFailing() then asks the owner to close and search again.
// hidapi's handle type; its header stays inside the transport's .cpp.
struct hid_device_;

class MainHidInterFace : public QThread
{
    Q_OBJECT
public:
    static constexpr unsigned short VendorId = DisplayIds::kVendorId;
    static constexpr unsigned short ProductId = DisplayIds::kProductId;
    static constexpr int ReportLength = DisplayIds::kReportLength;
    // Reports kept while the display does not take them; older ones are dropped.
    static constexpr size_t MaxQueuedReports = 2;
    // Consecutive failed writes after which the display counts as gone.
    static constexpr int FailedWritesForLoss = 3;

    explicit MainHidInterFace(QObject *parent = nullptr);
    ~MainHidInterFace() override;

    // Opens the first matching device hidapi lists and emits sigOpenHidSuccessful() on
    // success. Silent when no device matches.
    void getuUsbHidDeviceList();
    // 0 on success, -1 when the stored path cannot be opened.
    int hidApi_Open();
    // Queues a copy of 65 bytes of `frame`, whatever `length` says. -1 when not open. Called
    // from the sensor thread, once per pass.
    int hidApi_Write(const unsigned char *frame, int length);
    // Counts the successful opens. Taken before a report is built, it lets writeReport()
    // refuse a report that was built before the device was closed and opened again.
    unsigned openSession() const { return m_session; }
    // hidApi_Write() for a report built during `session`: -1 when the device is not open or
    // was opened again since.
    int writeReport(const unsigned char *frame, unsigned session);
    // Stops the writer after its current pass and closes the device. Always 0.
    int hidApi_Close();
    // Reports the display took since this object was made; any thread.
    quint64 reportsSent() const { return m_sent; }
    // Whether the latest search listed a matching device (opened or not).
    bool deviceListed() const { return m_listed; }
    // While quiet, finding the device and failing to open it are not logged: an outage that
    // is retried every few seconds is logged once.
    void setQuiet(bool quiet) { m_quiet = quiet; }

signals:
    void sigOpenHidSuccessful();
    // Emitted from the writer thread, once per run of failed writes.
    void sigWritesFailing();

protected:
    void run() override;

private:
    using Report = std::array<unsigned char, ReportLength>;

    // The next queued report; null once the device was closed.
    std::unique_ptr<Report> waitForReport(bool &backlog);
    void noteWriteResult(bool written);

    QString m_hidPath;
    hid_device_ *m_handle = nullptr;
    std::atomic_bool m_open{false};
    std::atomic<unsigned> m_session{0};
    std::mutex m_queueLock;
    std::condition_variable m_queueChanged;
    std::deque<std::unique_ptr<Report>> m_queue;
    bool m_stallLogged = false; // guarded by m_queueLock
    bool m_listed = false;
    bool m_quiet = false;
    std::atomic_int m_failedWrites{0};
    std::atomic<quint64> m_sent{0};
};
