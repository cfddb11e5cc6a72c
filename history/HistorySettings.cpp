#include "history/HistorySettings.h"

#include "history/HistoryChannels.h"
#include "logCollect/log_out.h"

#include <QDir>

namespace HistorySettings {

namespace {

AlertRule rule(int channel, double threshold, int hold, double margin)
{
    AlertRule r;
    r.channel = channel;
    r.enabled = false;
    r.threshold = threshold;
    r.holdSeconds = hold;
    r.margin = margin;
    r.below = HistoryChannels::alertsBelow(channel);
    return r;
}

} // namespace

QVector<AlertRule> defaultRules()
{
    using namespace HistoryChannels;
    return {rule(CpuTemperature, 90, 10, 5), rule(GpuTemperature, 85, 10, 5),
            rule(CpuFan, 200, 10, 100), rule(GpuFan, 200, 10, 100)};
}

AlertSettings loadAlerts(QSettings &store)
{
    AlertSettings alerts;
    store.beginGroup(QStringLiteral("Alerts"));
    alerts.program = store.value(QStringLiteral("program")).toString();
    const int count = store.beginReadArray(QStringLiteral("rules"));
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        const int channel =
            HistoryChannels::channelOfKey(store.value(QStringLiteral("value")).toString());
        bool ok = false;
        const double threshold = store.value(QStringLiteral("threshold")).toDouble(&ok);
        if (channel < 0 || !ok)
            continue; // a rule this version cannot read is skipped, not guessed
        AlertRule r;
        r.channel = channel;
        r.below = HistoryChannels::alertsBelow(channel);
        r.threshold = threshold;
        r.enabled = store.value(QStringLiteral("enabled"), true).toBool();
        r.holdSeconds = qBound(1, store.value(QStringLiteral("holdSeconds"), 5).toInt(), 3600);
        r.margin = qMax(0.0, store.value(QStringLiteral("margin"), 3).toDouble());
        alerts.rules << r;
    }
    store.endArray();
    const bool stored = store.contains(QStringLiteral("rules/size"));
    store.endGroup();
    if (!stored)
        alerts.rules = defaultRules();
    return alerts;
}

void saveAlerts(QSettings &store, const AlertSettings &alerts)
{
    store.beginGroup(QStringLiteral("Alerts"));
    store.remove(QString());
    store.setValue(QStringLiteral("program"), alerts.program);
    store.beginWriteArray(QStringLiteral("rules"), alerts.rules.size());
    for (int i = 0; i < alerts.rules.size(); ++i) {
        const AlertRule &r = alerts.rules[i];
        store.setArrayIndex(i);
        store.setValue(QStringLiteral("value"), HistoryChannels::key(r.channel));
        store.setValue(QStringLiteral("enabled"), r.enabled);
        store.setValue(QStringLiteral("threshold"), r.threshold);
        store.setValue(QStringLiteral("holdSeconds"), r.holdSeconds);
        store.setValue(QStringLiteral("margin"), r.margin);
    }
    store.endArray();
    store.endGroup();
}

RecordSettings loadRecord(QSettings &store)
{
    RecordSettings record;
    store.beginGroup(QStringLiteral("Record"));
    record.enabled = store.value(QStringLiteral("enabled"), false).toBool();
    record.folder = store.value(QStringLiteral("folder")).toString();
    record.retentionDays = qMax(0, store.value(QStringLiteral("retentionDays"), 30).toInt());
    store.endGroup();
    return record;
}

void saveRecord(QSettings &store, const RecordSettings &record)
{
    store.beginGroup(QStringLiteral("Record"));
    store.setValue(QStringLiteral("enabled"), record.enabled);
    store.setValue(QStringLiteral("folder"), record.folder);
    store.setValue(QStringLiteral("retentionDays"), record.retentionDays);
    store.endGroup();
}

QString defaultRecordFolder()
{
    // A folder of its own beside the log's: the log's start-up clean-up empties its folder
    // of everything older than a week, whatever retention the record has.
    QDir logDir(LogFormat::folderPath());
    logDir.cdUp();
    return QDir::toNativeSeparators(logDir.filePath(QStringLiteral("recordDir")));
}

} // namespace HistorySettings
