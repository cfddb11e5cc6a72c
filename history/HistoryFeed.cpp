#include "history/HistoryFeed.h"

#include "app/Monitor.h"
#include "core/Clock.h"
#include "core/UserStore.h"
#include "history/ReadingsRecorder.h"

#include <QDebug>
#include <QProcess>

HistoryFeed::HistoryFeed(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<AlertEvent>();
}

HistoryFeed::~HistoryFeed()
{
    flush();
}

void HistoryFeed::loadUserSettings()
{
    const auto store = openUserStore();
    setAlerts(HistorySettings::loadAlerts(*store));
    setRecord(HistorySettings::loadRecord(*store));
}

void HistoryFeed::attachTo(Monitor &monitor)
{
    connect(
        &monitor, &Monitor::passCompleted, this,
        [this](const RefreshSnapshotPtr &pass) { take(*pass, pass->localTime); },
        Qt::DirectConnection);
}

void HistoryFeed::setAlerts(const AlertSettings &alerts)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_alerts = alerts;
    m_states = QVector<AlertState>(alerts.rules.size());
}

void HistoryFeed::setRecord(const RecordSettings &record)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_recorder)
        m_recorder->flush();
    m_recorder.reset();
    if (!record.enabled)
        return;
    const QString folder =
        record.folder.isEmpty() ? HistorySettings::defaultRecordFolder() : record.folder;
    m_recorder = std::make_unique<ReadingsRecorder>(folder, record.retentionDays);
    const QDateTime now = Clock::now();
    m_recorder->removeExpired(now.date());
    const int rows =
        RecordReader::fillRing(m_recorder->filePath(now.date()), now.toSecsSinceEpoch(), m_ring);
    qDebug() << "Record on:" << folder << "rows read back:" << rows;
}

void HistoryFeed::take(const RefreshSnapshot &pass, const QDateTime &local)
{
    takeSample(HistoryChannels::sampleOf(pass), local);
}

void HistoryFeed::takeSample(const HistoryChannels::Sample &sample, const QDateTime &local)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_ring.append(local.toSecsSinceEpoch(), sample);
    if (m_recorder)
        m_recorder->add(local, sample);
    runAlerts(sample);
}

void HistoryFeed::runAlerts(const HistoryChannels::Sample &sample)
{
    for (int i = 0; i < m_alerts.rules.size(); ++i) {
        const AlertRule &rule = m_alerts.rules[i];
        if (rule.channel < 0 || rule.channel >= HistoryChannels::kCount)
            continue;
        const double value = sample[rule.channel];
        if (AlertRules::step(rule, m_states[i], value))
            act({rule.channel, value, rule.threshold, rule.below, rule.holdSeconds});
    }
}

void HistoryFeed::act(const AlertEvent &event)
{
    qDebug().noquote() << "Alert:" << AlertTexts::message(event, m_celsius);
    if (!m_alerts.program.isEmpty()) {
        // No shell: the name, value and unit reach the program as plain arguments.
        if (!QProcess::startDetached(m_alerts.program,
                                     AlertTexts::programArguments(event, m_celsius)))
            qDebug() << "Alert program did not start:" << m_alerts.program;
    }
    emit alertFired(event);
}

void HistoryFeed::flush()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_recorder)
        m_recorder->flush();
}

QVector<float> HistoryFeed::series(int channel, int seconds, qint64 *endSecond) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    const qint64 end = m_ring.newestSecond();
    if (endSecond)
        *endSecond = end;
    return m_ring.series(channel, end, seconds);
}
