#pragma once
#include "history/AlertRule.h"

#include <QSettings>
#include <QString>
#include <QVector>

// The alert rules, the program an alert runs and the record's choices, kept in the per-user
// settings store (groups "Alerts" and "Record").
struct AlertSettings
{
    QVector<AlertRule> rules;
    QString program; // empty: none
};

struct RecordSettings
{
    bool enabled = false;
    QString folder; // empty: beside the log
    int retentionDays = 30;
};

Q_DECLARE_METATYPE(AlertSettings)
Q_DECLARE_METATYPE(RecordSettings)

namespace HistorySettings {

AlertSettings loadAlerts(QSettings &store);
void saveAlerts(QSettings &store, const AlertSettings &alerts);
RecordSettings loadRecord(QSettings &store);
void saveRecord(QSettings &store, const RecordSettings &record);

// The rules a first run starts with, all off: CPU and GPU too hot, their fans stopped.
QVector<AlertRule> defaultRules();
// The folder a record without a chosen one goes to: the log's own folder.
QString defaultRecordFolder();

} // namespace HistorySettings
