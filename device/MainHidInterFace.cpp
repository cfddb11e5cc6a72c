#include "device/MainHidInterFace.h"

#include "device/DisplayAccess.h"

#include <hidapi.h>

#include <QDebug>

#include <cstring>
#include <new>

namespace {
// The display is fed about once a second; this pause only spaces out a backlog, so an idle
// writer never sleeps it and wakes once per report.
constexpr unsigned long PauseAfterWriteUs = 500;
} // namespace

MainHidInterFace::MainHidInterFace(QObject *parent) : QThread(parent)
{
    // hid_enumerate initialises the library itself if this fails.
    hid_init();
}

MainHidInterFace::~MainHidInterFace()
{
    qDebug() << "________________________ MainHidInterFace::~MainHidInterFace() ........";
}

void MainHidInterFace::getuUsbHidDeviceList()
{
    hid_device_info *devices = hid_enumerate(0, 0);
    bool found = false;
    for (const hid_device_info *d = devices; d; d = d->next) {
        if (d->vendor_id == VendorId && d->product_id == ProductId) {
            m_hidPath = QString::fromLatin1(d->path);
            if (!m_quiet)
                qDebug() << "-------------------------- ************** strHidPath:" << m_hidPath;
            found = true;
            break;
        }
    }
    hid_free_enumeration(devices);
    m_listed = found;
    if (found && hidApi_Open() == 0)
        emit sigOpenHidSuccessful();
}

int MainHidInterFace::hidApi_Open()
{
    m_handle = hid_open_path(m_hidPath.toLatin1().constData());
    if (!m_handle) {
        if (!m_quiet) {
            qDebug() << "Unable to open device\n";
            qDebug().noquote() << DisplayAccess::openFailureLine(
                DisplayAccess::diagnose(m_hidPath));
        }
        m_open = false;
        return -1;
    }
    qDebug() << "\nOpen device success\n";
    // Only the GUI thread opens, and the writer is not running while the device is closed.
    m_failedWrites = 0;
    ++m_session;
    m_open = true;
    hid_set_nonblocking(m_handle, 1);
    return 0;
}

int MainHidInterFace::hidApi_Write(const unsigned char *frame, int /*length*/)
{
    return writeReport(frame, m_session);
}

int MainHidInterFace::writeReport(const unsigned char *frame, unsigned session)
{
    if (!m_open || !frame)
        return -1;
    std::unique_ptr<Report> copy(new (std::nothrow) Report);
    if (!copy)
        return 0; // out of memory: this frame is dropped
    std::memcpy(copy->data(), frame, ReportLength);
    bool stallBegins = false;
    std::unique_ptr<Report> dropped;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        // Checked again under the lock that a close empties the queue under.
        if (!m_open || session != m_session)
            return -1;
        if (m_queue.size() >= MaxQueuedReports) {
            dropped = std::move(m_queue.front());
            m_queue.pop_front();
            stallBegins = !m_stallLogged;
            m_stallLogged = true;
        }
        m_queue.push_back(std::move(copy));
    }
    // Woken after the lock is released, the writer finds it free: one wake-up per report.
    m_queueChanged.notify_one();
    if (stallBegins)
        qDebug() << "Display is not taking reports: keeping the latest" << MaxQueuedReports
                 << "and dropping older ones";
    return 0;
}

int MainHidInterFace::hidApi_Close()
{
    if (!m_open.exchange(false))
        return 0;
    {
        // Passing through the lock orders this wake-up after the writer's last look at the
        // flag: it either sees the flag clear or is already waiting. Reports still queued were
        // built before the outage; the display gets fresh ones after the next open.
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_queue.clear();
    }
    m_queueChanged.notify_all();
    // The writer may be inside hid_write with this handle; let it finish that pass first.
    if (isRunning() && QThread::currentThread() != this)
        wait();
    hid_close(m_handle);
    m_handle = nullptr;
    hid_exit();
    return 0;
}

std::unique_ptr<MainHidInterFace::Report> MainHidInterFace::waitForReport(bool &backlog)
{
    std::unique_lock<std::mutex> lock(m_queueLock);
    // Sleep, rather than poll, while there is nothing to write: this runs all day.
    m_queueChanged.wait(lock, [this] { return !m_open || (!m_queue.empty() && m_handle); });
    if (!m_open)
        return nullptr;
    std::unique_ptr<Report> report = std::move(m_queue.front());
    m_queue.pop_front();
    backlog = !m_queue.empty();
    return report;
}

void MainHidInterFace::noteWriteResult(bool written)
{
    if (written) {
        ++m_sent;
        m_failedWrites = 0;
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_stallLogged = false; // the display takes reports again: a later stall is news
        return;
    }
    // A failed write is dropped. The removal handler normally closes the device; when no
    // removal comes, the owner is told once and closes and searches again.
    if (++m_failedWrites == FailedWritesForLoss)
        emit sigWritesFailing();
}

void MainHidInterFace::run()
{
    while (m_open) {
        bool backlog = false;
        std::unique_ptr<Report> report = waitForReport(backlog);
        if (!report)
            continue;
        if (m_open && m_handle)
            noteWriteResult(hid_write(m_handle, report->data(), ReportLength) >= 0);
        report.reset();
        if (backlog)
            QThread::usleep(PauseAfterWriteUs);
    }
}
